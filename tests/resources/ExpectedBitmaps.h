// Every picture the editor and the preset panel load, with what their layout requires of it.
#pragma once

#include <array>
#include <string>

struct ExpectedBitmap {
  const char* name;
  int images;
  int width;        // 0: checked elsewhere
  int imageHeight;  // 0: checked elsewhere
  bool overlay;     // drawn over another picture, so transparency is expected
};

inline const std::array<ExpectedBitmap, 37> kExpectedBitmaps = {{
    {"bmp11500.png", 1, 778, 248, false},  // background
    {"bmp11520.png", 3, 0, 0, false},      // clip LED
    {"bmp11562.png", 41, 0, 0, false},     // output knob
    {"bmp11510.png", 2, 0, 0, false},     {"bmp11512.png", 3, 0, 0, false},
    {"bmp11518.png", 2, 0, 0, false},     {"bmp11540.png", 2, 0, 0, false},
    {"bmp11541.png", 41, 0, 0, false},  // high-pass knob
    {"bmp11543.png", 2, 0, 0, false},     {"bmp11516.png", 2, 0, 0, false},
    {"bmp11571.png", 41, 70, 70, false},  // band knob centres
    {"bmp11546.png", 2, 0, 0, false},     {"bmp11547.png", 3, 0, 0, false},
    {"bmp11572.png", 29, 70, 70, false},  {"bmp11548.png", 2, 0, 0, false},
    {"bmp11549.png", 3, 0, 0, false},     {"bmp11573.png", 29, 70, 70, false},
    {"bmp11552.png", 2, 0, 0, false},     {"bmp11517.png", 2, 0, 0, false},
    {"bmp11553.png", 41, 70, 70, false},  {"bmp11558.png", 11, 70, 70, true},  // band knob rings
    {"bmp11559.png", 15, 70, 70, true},   {"bmp11576.png", 15, 70, 70, true},
    {"bmp11557.png", 11, 70, 70, true},   {"bmp11580.png", 1, 0, 0, false},  // about picture
    {"bmp19997.png", 5, 31, 14, false},  // preset panel, sized to its rectangles
    {"bmp19993.png", 3, 12, 14, false},   {"bmp19994.png", 3, 12, 14, false},
    {"bmp19990.png", 3, 37, 10, false},   {"bmp19998.png", 3, 12, 14, false},
    {"bmp19999.png", 3, 12, 14, false},   {"bmp19899.png", 3, 47, 10, false},
    {"bmp19991.png", 3, 12, 14, false},   {"bmp19995.png", 3, 12, 14, false},
    {"bmp19992.png", 3, 12, 14, false},   {"bmp19996.png", 3, 12, 14, false},
    {"bmp00989.png", 3, 16, 14, false},
}};
