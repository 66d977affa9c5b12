#pragma once

#include <cstdint>

struct CColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;

  friend constexpr bool operator==(const CColor& a, const CColor& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
  }
  friend constexpr bool operator!=(const CColor& a, const CColor& b) { return !(a == b); }
};

constexpr CColor MakeCColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return {r, g, b, a};
}

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kDarkGreyCColor{64, 64, 64, 255};
