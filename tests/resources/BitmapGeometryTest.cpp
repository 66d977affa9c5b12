// The editor places each control at a fixed corner and sizes it from its bitmap, so the pictures'
// sizes decide whether the window's layout works: these tests rebuild the editor's rectangles
// from the decoded pictures.
#include "DecodedPng.h"
#include "ExpectedBitmaps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Rect {
  int left, top, right, bottom;
};

struct Size {
  int width;
  int height;
};

Size sizeOf(const std::string& name) {
  const DecodedPng png(name);
  return {png.width(), png.height()};
}

bool overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(BitmapGeometry, EveryPictureDecodesIntoWholeImagesOfTheRightSize) {
  for (const ExpectedBitmap& expected : kExpectedBitmaps) {
    SCOPED_TRACE(expected.name);
    const DecodedPng png(expected.name);
    ASSERT_TRUE(png.ok());
    ASSERT_GT(png.width(), 0);
    ASSERT_GT(png.height(), 0);
    EXPECT_EQ(png.height() % expected.images, 0);
    if (expected.width != 0) {
      EXPECT_EQ(png.width(), expected.width);
    }
    if (expected.imageHeight != 0) {
      EXPECT_EQ(png.height() / expected.images, expected.imageHeight);
    }
    // Its version for twice the resolution is exactly twice as large, image for image.
    std::string twice(expected.name);
    twice.insert(twice.rfind('.'), "@2x");
    EXPECT_EQ(sizeOf(twice).width, 2 * png.width());
    EXPECT_EQ(sizeOf(twice).height, 2 * png.height());
  }
}

TEST(BitmapGeometry, OutputKnobShowsWholeUnitsOfItsOddView) {
  // The view is h/51 tall while the strip holds 41 images; both must be whole pixels.
  const Size output = sizeOf("bmp11562.png");
  EXPECT_EQ(output.height % 41, 0);
  EXPECT_EQ(output.height % 51, 0);
  // Its knob is centred level with the band knobs (y 111): the view must reach below that.
  EXPECT_GT(76 + output.height / 51, 111 + 25);
}

TEST(BitmapGeometry, BandKnobImagesSitOnTheirCentrePoints) {
  struct Band {
    const char* centre;
    int images;
    int rectLeft, rectTop, rightBase,
        bottomBase;  // (left, top, rightBase + w, bottomBase + h/images)
    int centreX, centreY;
  };
  const Band bands[] = {
      {"bmp11571.png", 41, 154, 56, 194, 96, 209, 111},
      {"bmp11572.png", 29, 273, 56, 313, 96, 328, 111},
      {"bmp11573.png", 29, 392, 56, 432, 96, 447, 111},
      {"bmp11553.png", 41, 512, 56, 552, 96, 568, 111},
  };
  constexpr int kMargin = 20;
  for (const Band& band : bands) {
    SCOPED_TRACE(band.centre);
    const Size size = sizeOf(band.centre);
    const Rect view{band.rectLeft, band.rectTop, band.rightBase + size.width,
                    band.bottomBase + size.height / band.images};
    const Rect image{view.left + kMargin, view.top + kMargin, view.right - kMargin,
                     view.bottom - kMargin};
    EXPECT_EQ(image.right - image.left, 70);
    EXPECT_EQ(image.bottom - image.top, 70);
    // The click centre is the image's middle, or one pixel off it where the centres allow no
    // better.
    EXPECT_LE(std::abs(2 * band.centreX - (image.left + image.right)), 2);
    EXPECT_EQ(2 * band.centreY, image.top + image.bottom);
    // The whole click radius of the gain part lies on the picture.
    EXPECT_GE(band.centreX - 23, image.left);
    EXPECT_LE(band.centreX + 23, image.right);
  }
}

TEST(BitmapGeometry, ControlsFitTheWindowWithoutOverlapping) {
  auto at = [](int left, int top, const char* name, int viewDivisor) {
    const Size size = sizeOf(name);
    return Rect{left, top, left + size.width, top + size.height / viewDivisor};
  };
  auto coax = [](int left, int top, const char* name, int images) {
    const Size size = sizeOf(name);
    return Rect{left, top, left + 40 + size.width, top + 40 + size.height / images};
  };
  const std::vector<std::pair<const char*, Rect>> controls = {
      {"clip LED", at(712, 57, "bmp11520.png", 3)},
      {"latency ms", {58, 214, 108, 226}},
      {"output", at(651, 76, "bmp11562.png", 51)},
      {"EQ", at(663, 22, "bmp11510.png", 2)},
      {"LSR", at(64, 168, "bmp11512.png", 3)},
      {"SAT", at(663, 168, "bmp11518.png", 2)},
      {"HPF on", at(91, 22, "bmp11540.png", 2)},
      {"HPF knob", at(55, 76, "bmp11541.png", 41)},
      {"LF on", at(209, 22, "bmp11543.png", 2)},
      {"LF dip", at(182, 168, "bmp11516.png", 2)},
      {"LF knob", coax(154, 56, "bmp11571.png", 41)},
      {"LMF on", at(330, 22, "bmp11546.png", 2)},
      {"LM Q", at(302, 168, "bmp11547.png", 3)},
      {"LM knob", coax(273, 56, "bmp11572.png", 29)},
      {"HMF on", at(448, 22, "bmp11548.png", 2)},
      {"HM Q", at(421, 168, "bmp11549.png", 3)},
      {"HM knob", coax(392, 56, "bmp11573.png", 29)},
      {"HF on", at(568, 22, "bmp11552.png", 2)},
      {"HF dip", at(541, 168, "bmp11517.png", 2)},
      {"HF knob", coax(512, 56, "bmp11553.png", 41)},
      {"about", {323, 210, 458, 227}},
      {"preset row", {20, 232, 738, 246}},
  };
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const auto& [name, rect] = controls[i];
    SCOPED_TRACE(name);
    EXPECT_LT(rect.left, rect.right);
    EXPECT_LT(rect.top, rect.bottom);
    EXPECT_GE(rect.left, 0);
    EXPECT_GE(rect.top, 0);
    EXPECT_LE(rect.right, 778);
    EXPECT_LE(rect.bottom, 248);
    for (std::size_t j = i + 1; j < controls.size(); ++j)
      EXPECT_FALSE(overlap(rect, controls[j].second)) << "overlaps " << controls[j].first;
  }
}

TEST(BitmapGeometry, AboutPictureHoldsTheVersionLabel) {
  const Size about = sizeOf("bmp11580.png");
  const int cx = about.width / 2;
  const int cy = about.height / 2;
  EXPECT_GE(cy - 71, 0);
  EXPECT_LE(cx + 84, about.width);
  // Shown from the window's top-left corner: it must not stick out of the window.
  EXPECT_LE(about.width, 778);
  EXPECT_LE(about.height, 248);
}

}  // namespace
