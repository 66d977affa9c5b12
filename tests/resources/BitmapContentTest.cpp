// What the pictures must look like for the controls to draw correctly: opaque where a control
// repaints itself, see-through where the band knobs' rings lie over their centres, moving parts
// inside the areas the editor shows and clicks, and light fields under the editor's dark texts.
#include "DecodedPng.h"
#include "ExpectedBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<int> imagePixels(const DecodedPng& png, int imageHeight, int image) {
  std::vector<int> pixels;
  for (int y = 0; y < imageHeight; ++y) {
    for (int x = 0; x < png.width(); ++x) {
      const DecodedPng::Pixel p = png.at(x, image * imageHeight + y);
      pixels.push_back((p.a << 24) | (p.r << 16) | (p.g << 8) | p.b);
    }
  }
  return pixels;
}

double luminance(const DecodedPng::Pixel& p) { return 0.2126 * p.r + 0.7152 * p.g + 0.0722 * p.b; }

struct Knob {
  const char* centre;
  int centreImages;
  const char* ring;
  int ringImages;
  double centreX;  // the editor's click centre, in image coordinates
};

const Knob kKnobs[] = {
    {"bmp11571.png", 41, "bmp11558.png", 11, 35},
    {"bmp11572.png", 29, "bmp11559.png", 15, 35},
    {"bmp11573.png", 29, "bmp11576.png", 15, 35},
    {"bmp11553.png", 41, "bmp11557.png", 11, 36},
};
constexpr double kCentreY = 35;
constexpr double kClickRadius = 23;

TEST(BitmapContent, PicturesThatRepaintThemselvesAreOpaque) {
  // A control redraws only its own rectangle; any see-through pixel would keep the old picture.
  for (const ExpectedBitmap& expected : kExpectedBitmaps) {
    if (expected.overlay) continue;
    SCOPED_TRACE(expected.name);
    const DecodedPng png(expected.name);
    ASSERT_TRUE(png.ok());
    int transparent = 0;
    for (int y = 0; y < png.height(); ++y)
      for (int x = 0; x < png.width(); ++x) transparent += png.at(x, y).a != 255 ? 1 : 0;
    EXPECT_EQ(transparent, 0);
  }
}

TEST(BitmapContent, RingsLetTheCentreShowAndMoveOnlyOutsideTheClickRadius) {
  for (const Knob& knob : kKnobs) {
    SCOPED_TRACE(knob.ring);
    const DecodedPng ring(knob.ring);
    ASSERT_TRUE(ring.ok());
    const int imageHeight = ring.height() / knob.ringImages;
    for (int image = 0; image < knob.ringImages; ++image) {
      int coveredInside = 0;
      int opaqueCollar = 0;
      for (int y = 0; y < imageHeight; ++y) {
        for (int x = 0; x < ring.width(); ++x) {
          const double r = std::hypot(x + 0.5 - knob.centreX, y + 0.5 - kCentreY);
          const int alpha = ring.at(x, image * imageHeight + y).a;
          if (r < kClickRadius - 1 && alpha != 0) ++coveredInside;
          if (r > kClickRadius + 2 && r < kClickRadius + 9 && alpha == 255) ++opaqueCollar;
        }
      }
      EXPECT_EQ(coveredInside, 0) << "image " << image;
      EXPECT_GT(opaqueCollar, 500) << "image " << image;
    }
  }
}

TEST(BitmapContent, GainCapsMoveOnlyInsideTheClickRadius) {
  for (const Knob& knob : kKnobs) {
    SCOPED_TRACE(knob.centre);
    const DecodedPng centre(knob.centre);
    ASSERT_TRUE(centre.ok());
    const int imageHeight = centre.height() / knob.centreImages;
    int changed = 0;
    for (int y = 0; y < imageHeight; ++y) {
      for (int x = 0; x < centre.width(); ++x) {
        if (centre.at(x, y) == centre.at(x, (knob.centreImages - 1) * imageHeight + y)) continue;
        ++changed;
        EXPECT_LE(std::hypot(x + 0.5 - knob.centreX, y + 0.5 - kCentreY), kClickRadius)
            << x << "," << y;
      }
    }
    EXPECT_GT(changed, 20);
  }
}

TEST(BitmapContent, OutputKnobMovesInsideTheVisiblePartOfItsImages) {
  const DecodedPng output("bmp11562.png");
  ASSERT_TRUE(output.ok());
  const int imageHeight = output.height() / 41;
  const int viewHeight = output.height() / 51;
  int changed = 0;
  for (int y = 0; y < imageHeight; ++y) {
    for (int x = 0; x < output.width(); ++x) {
      if (output.at(x, y) == output.at(x, 40 * imageHeight + y)) continue;
      ++changed;
      EXPECT_LT(y, viewHeight) << x << "," << y;
    }
  }
  EXPECT_GT(changed, 20);
}

TEST(BitmapContent, EveryStateHasItsOwnPicture) {
  struct Strip {
    const char* name;
    int images;
    int distinct;  // images that must differ from each other
  };
  std::vector<Strip> strips;
  for (const ExpectedBitmap& expected : kExpectedBitmaps)
    strips.push_back({expected.name, expected.images, expected.images});
  for (Strip& strip : strips) {
    // 15 ring images over 11 frequency steps: each image points at the step it selects.
    if (std::string(strip.name) == "bmp11559.png" || std::string(strip.name) == "bmp11576.png")
      strip.distinct = 11;
  }
  for (const Strip& strip : strips) {
    SCOPED_TRACE(strip.name);
    const DecodedPng png(strip.name);
    ASSERT_TRUE(png.ok());
    std::set<std::vector<int>> seen;
    for (int image = 0; image < strip.images; ++image)
      seen.insert(imagePixels(png, png.height() / strip.images, image));
    EXPECT_EQ(static_cast<int>(seen.size()), strip.distinct);
  }
}

TEST(BitmapContent, EditorTextsLandOnLightFields) {
  // The latency read-outs print dark grey and the preset name near-black over the background.
  struct Field {
    const char* what;
    int left, top, right, bottom;
  };
  const Field fields[] = {{"latency", 58, 214, 152, 226}, {"preset name", 175, 233, 292, 245}};
  const DecodedPng background("bmp11500.png");
  ASSERT_TRUE(background.ok());
  for (const Field& field : fields) {
    SCOPED_TRACE(field.what);
    double darkest = 255;
    for (int y = field.top; y < field.bottom; ++y)
      for (int x = field.left; x < field.right; ++x)
        darkest = std::min(darkest, luminance(background.at(x, y)));
    EXPECT_GT(darkest, 170.0);
  }
}

TEST(BitmapContent, AboutPictureLeavesTheVersionBoxPlain) {
  const DecodedPng about("bmp11580.png");
  ASSERT_TRUE(about.ok());
  const int cx = about.width() / 2;
  const int cy = about.height() / 2;
  const DecodedPng::Pixel first = about.at(cx + 52, cy - 71);
  int spread = 0;
  for (int y = cy - 71; y < cy - 61; ++y) {
    for (int x = cx + 52; x < cx + 84; ++x) {
      const DecodedPng::Pixel p = about.at(x, y);
      spread = std::max(
          {spread, std::abs(p.r - first.r), std::abs(p.g - first.g), std::abs(p.b - first.b)});
    }
  }
  EXPECT_LE(spread, 4);
  // Mid-toned, so light and dark text both read on it.
  EXPECT_GT(luminance(first), 90.0);
  EXPECT_LT(luminance(first), 160.0);
}

}  // namespace
