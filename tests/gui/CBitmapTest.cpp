#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace {

std::map<std::string, std::vector<unsigned char>>& resources() {
  static std::map<std::string, std::vector<unsigned char>> table;
  return table;
}

bool provide(const char* name, const unsigned char** data, size_t* size) {
  auto it = resources().find(name);
  if (it == resources().end()) return false;
  *data = it->second.data();
  *size = it->second.size();
  return true;
}

cairo_status_t appendPng(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<unsigned char>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

std::vector<unsigned char> pngOf(CBitmap* bitmap) {
  std::vector<unsigned char> bytes;
  cairo_surface_write_to_png_stream(bitmap->getSurface(), appendPng, &bytes);
  return bytes;
}

struct BitmapFixture : ::testing::Test {
  CBitmap* strip = nullptr;
  void SetUp() override {
    strip = makeStrip(24, 16, 3);
    resources()["bmp11500.png"] = pngOf(strip);
    resources()["bmp11558.png"] = pngOf(strip);
    auto truncated = pngOf(strip);
    truncated.resize(truncated.size() / 2);
    resources()["bmp00042.png"] = truncated;
    CBitmap::setResourceProvider(provide);
  }
  void TearDown() override {
    CBitmap::setResourceProvider(nullptr);
    strip->forget();
  }
};

}  // namespace

TEST_F(BitmapFixture, LoadsByNumberAndByNameFromTheResourceTable) {
  for (const CResourceDescription& desc :
       {CResourceDescription(11500), CResourceDescription("bmp11558.png")}) {
    auto* bitmap = new CBitmap(desc);
    ASSERT_TRUE(bitmap->isLoaded());
    EXPECT_EQ(bitmap->getWidth(), 24);
    EXPECT_EQ(bitmap->getHeight(), 48);
    int differences = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 24; ++x)
        differences += pixelAt(bitmap->getSurface(), x, y) != pixelAt(strip->getSurface(), x, y);
    EXPECT_EQ(differences, 0);
    bitmap->forget();
  }
}

TEST_F(BitmapFixture, MissingOrDamagedResourcesGiveAnEmptyBitmap) {
  for (const CResourceDescription& desc : {CResourceDescription(1), CResourceDescription(42)}) {
    CBitmap bitmap(desc);
    EXPECT_FALSE(bitmap.isLoaded());
    EXPECT_EQ(bitmap.getWidth(), 0);
    EXPECT_EQ(bitmap.getHeight(), 0);
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 10, 10));
    CDrawContext context(surface.get());
    bitmap.draw(&context, CRect(0, 0, 10, 10));  // draws nothing, fails nothing
  }
  CBitmap::setResourceProvider(nullptr);
  EXPECT_FALSE(CBitmap(11500).isLoaded()) << "no table registered";
}

TEST_F(BitmapFixture, DrawCopiesFromTheOffsetClippedToTheRect) {
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 50, 50));
  CDrawContext context(surface.get());
  const CRect target(10, 10, 20, 18);
  strip->draw(&context, target, CPoint(3, 20));
  cairo_surface_flush(surface.get());
  EXPECT_EQ(countDifferences(surface.get(), target, strip, CPoint(3, 20)), 0);
  EXPECT_EQ(pixelAt(surface.get(), 20, 10), 0u) << "nothing outside the rect";
  EXPECT_EQ(pixelAt(surface.get(), 9, 10), 0u);
  EXPECT_EQ(pixelAt(surface.get(), 10, 18), 0u);
}

TEST_F(BitmapFixture, ScaledDrawingUsesTheSharpVersionWithoutReachingIntoTheNextImage) {
  CBitmap* sharp = makeStrip(48, 32, 3);
  resources()["bmp11500@2x.png"] = pngOf(sharp);
  resources()["bmp11558@2x.png"] = pngOf(strip);  // not twice the size: not used
  EXPECT_EQ(CBitmap("bmp11558.png").getHighResolutionSurface(), nullptr);
  CBitmap bitmap(11500);
  // Image 1 of the strip into a 24 x 16 rectangle at (5, 7).
  const CRect rect(5, 7, 29, 23);
  CairoSurfacePtr twice(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 80, 60));
  CDrawContext atTwice(twice.get(), 2.0);
  bitmap.draw(&atTwice, rect, CPoint(0, 16));
  EXPECT_EQ(countDifferences(twice.get(), CRect(10, 14, 58, 46), sharp, CPoint(0, 32)), 0);

  // At 1.5 the rectangle covers device pixels 7.5 to 43.5 and 10.5 to 34.5, the edge pixels
  // half. Image 1's red channel is 28 throughout (its neighbours' 5 and 51), so over black
  // every pixel shows 28 times the share of it covered, the edges too.
  CairoSurfacePtr threeHalves(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 60, 45));
  CDrawContext atThreeHalves(threeHalves.get(), 1.5);
  bitmap.draw(&atThreeHalves, rect, CPoint(0, 16));
  auto covered = [](int pixel, double from, double to) {
    return std::max(0.0, std::min<double>(pixel + 1, to) - std::max<double>(pixel, from));
  };
  int foreign = 0;
  for (int y = 9; y < 36; ++y)
    for (int x = 6; x < 45; ++x) {
      const double expected = 28 * covered(x, 7.5, 43.5) * covered(y, 10.5, 34.5);
      foreign +=
          std::abs(static_cast<double>(pixelAt(threeHalves.get(), x, y) >> 16) - expected) > 1;
    }
  EXPECT_EQ(foreign, 0);
  sharp->forget();
}

TEST(CDrawContext, OnePixelStrokesCoverWholePixels) {
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 20, 20));
  CDrawContext context(surface.get());
  context.setFrameColor(kWhiteCColor);
  context.drawRect(CRect(2, 2, 8, 6));
  context.drawLine(CPoint(10, 15), CPoint(17, 15));
  cairo_surface_flush(surface.get());
  EXPECT_EQ(pixelAt(surface.get(), 2, 2), 0xffffffu);
  EXPECT_EQ(pixelAt(surface.get(), 7, 5), 0xffffffu)
      << "right/bottom edge is the rect's last pixel";
  EXPECT_EQ(pixelAt(surface.get(), 8, 5), 0u);
  EXPECT_EQ(pixelAt(surface.get(), 4, 4), 0u) << "stroked, not filled";
  EXPECT_EQ(pixelAt(surface.get(), 12, 15), 0xffffffu);
  EXPECT_EQ(pixelAt(surface.get(), 12, 14), 0u) << "no half-covered neighbour row";
  EXPECT_EQ(pixelAt(surface.get(), 12, 16), 0u);
}

TEST(CFontDesc, StandardFontsHaveTheirPixelSizes) {
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 10, 10));
  CDrawContext context(surface.get());
  context.setFont(kNormalFontSmall);
  const CCoord small = context.getStringWidth("Preset 1");
  context.setFont(kNormalFontVerySmall);
  const CCoord verySmall = context.getStringWidth("Preset 1");
  EXPECT_GT(small, verySmall);
  // With Liberation Sans (Arial's metrics) installed, the widths are Arial's.
  if (FILE* p = popen("fc-match -f '%{family}' Arial 2>/dev/null", "r")) {
    char family[128] = {};
    const bool got = std::fgets(family, sizeof(family), p) != nullptr;
    pclose(p);
    if (got && std::strstr(family, "Liberation Sans")) {
      EXPECT_EQ(verySmall, 35);
      EXPECT_EQ(small, 41);
    }
  }
}
