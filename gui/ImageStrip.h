#pragma once

#include <cmath>
#include <cstdint>

// Which image of a vertical strip of `count` images shows a normalised value. Values outside
// 0..1 show the end images, so a strip is never read past its last image. The product is a
// float, as the value is: 0.35 on an 11-image strip is 3.5 and shows image 4, not image 3.
inline int32_t stripIndexRound(float normalized, int32_t count) {
  if (count <= 1 || !(normalized > 0.f)) return 0;
  const double index = std::trunc(normalized * static_cast<float>(count - 1) + 0.5);
  return index >= count - 1 ? count - 1 : static_cast<int32_t>(index);
}
