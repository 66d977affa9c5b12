#include "GuiTestSupport.h"

#include "gui/CParamDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

void msLike(float value, char* text) { std::snprintf(text, 16, "%dms", static_cast<int>(value)); }

bool refuse(float, char[256], void*) { return false; }

// The bounding box of dark (text) pixels inside a rectangle; empty if none.
CRect inkBox(cairo_surface_t* s, const CRect& area) {
  CRect box;
  bool found = false;
  for (int y = static_cast<int>(area.top); y < static_cast<int>(area.bottom); ++y)
    for (int x = static_cast<int>(area.left); x < static_cast<int>(area.right); ++x)
      if ((pixelAt(s, x, y) & 0xff) < 0xa0) {
        const CRect px(x, y, x + 1, y + 1);
        box = found ? box.unite(px) : px;
        found = true;
      }
  return box;
}

}  // namespace

TEST(CParamDisplay, TextComesFromTheConverterOrTwoDecimals) {
  CParamDisplay display(CRect(0, 0, 50, 12));
  char text[256];
  display.setValue(0.5f);
  display.getDisplayText(display.getValue(), text);
  EXPECT_STREQ(text, "0.50");
  display.setMax(10000.f);
  display.setValue(46.f);
  display.setStringConvert(msLike);
  display.getDisplayText(display.getValue(), text);
  EXPECT_STREQ(text, "46ms");
  display.setValueToStringProc(refuse);
  display.getDisplayText(display.getValue(), text);
  EXPECT_STREQ(text, "46ms") << "a procedure that declines falls back";
}

TEST(CParamDisplay, LeftAlignedTextInksInsideItsBoxInTheFontColour) {
  auto* display = new CParamDisplay(CRect(58, 214, 108, 226));
  display->setStringConvert(msLike);
  display->setMax(10000.f);
  display->setValue(46.f);
  display->setFont(kNormalFontVerySmall);
  display->setFontColor(kDarkGreyCColor);
  display->setBackColor(kWhiteCColor);
  display->setFrameColor(kWhiteCColor);
  display->setHoriAlign(kLeftText);
  auto surface = renderView(display);
  const CRect ink = inkBox(surface.get(), display->getViewSize());
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left, 58);
  EXPECT_LE(ink.left, 60) << "left aligned";
  EXPECT_LT(ink.right, 108);
  EXPECT_GE(ink.top, 215) << "vertically centred, not clipped";
  EXPECT_LE(ink.bottom, 225);
  EXPECT_EQ(pixelAt(surface.get(), 58, 214), 0xffffffu) << "background drawn";
  uint32_t darkest = 0xffffff;
  for (int y = 214; y < 226; ++y)
    for (int x = 58; x < 108; ++x) darkest = std::min(darkest, pixelAt(surface.get(), x, y));
  EXPECT_LT(darkest & 0xff, 0x80) << "the font colour shows at the glyph stems";
  EXPECT_EQ(darkest >> 16, darkest & 0xff) << "grey, not coloured";
  display->forget();
}
