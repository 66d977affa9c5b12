#pragma once

// The on-disk form of one preference domain: a small little-endian binary file.
//
//   magic "VTPF" | u32 version (1) | u32 entry count
//   per entry: u8 kind (1 text, 2 bytes) | u32 key length | key | u32 value length | value
//   u32 CRC-32 of everything before it
//
// The checksum and the exact-length rule let a truncated or damaged file be recognised
// and ignored as a whole, instead of being half-read.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class PreferenceKind : std::uint8_t { Text = 1, Bytes = 2 };

struct PreferenceEntry {
  PreferenceKind kind = PreferenceKind::Bytes;
  std::vector<unsigned char> value;
  bool operator==(const PreferenceEntry&) const = default;
};

using PreferenceMap = std::map<std::string, PreferenceEntry, std::less<>>;

inline constexpr std::size_t kPreferenceMaxKeyLength = 255;
inline constexpr std::size_t kPreferenceMaxValueLength = 1u << 20;
inline constexpr std::size_t kPreferenceMaxEntries = 1024;
inline constexpr std::size_t kPreferenceMaxFileSize = 8u << 20;

// A key is 1..255 bytes without a zero byte.
bool isValidPreferenceKey(std::string_view key);

// Decodes a whole file; nullopt (and the reason in `problem`, if given) when it is not
// exactly a well-formed file of this format.
std::optional<PreferenceMap> parsePreferenceFile(std::span<const unsigned char> bytes,
                                                 std::string* problem = nullptr);

std::vector<unsigned char> encodePreferenceFile(const PreferenceMap& entries);

std::uint32_t crc32(std::span<const unsigned char> bytes);
