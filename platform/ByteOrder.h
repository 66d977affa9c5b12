#pragma once

// Byte reversal of 32-bit words: stored buffers carry the writer's byte order, and a
// reader that finds the plug-in ID reversed reverses every 32-bit field it uses.

#include <bit>
#include <cstdint>

inline constexpr std::uint32_t swapped32(std::uint32_t value) {
  return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) |
         ((value & 0x00FF0000u) >> 8) | ((value & 0xFF000000u) >> 24);
}

// True when data in little-endian order (the preference file's fixed order) must be
// reversed on this machine.
inline constexpr bool kSwapForLittleEndian = std::endian::native != std::endian::little;
