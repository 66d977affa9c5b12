// The window as it opens: every control of the layout where it belongs, wired to its
// parameter, with the values of the effect at that moment, drawn from the committed pictures.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "EditorTestSupport.h"
#include "editor/CAbout.h"
#include "editor/CAnimCoaxKnob.h"
#include "editor/CAnimKnob3.h"
#include "editor/CLED.h"
#include "editor/CZALOnOffButton.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CParamDisplay.h"
#include "resources/EmbeddedResources.h"

using namespace editortest;

namespace {

template <typename T>
bool isA(CView* view) {
  return dynamic_cast<T*>(view) != nullptr;
}
constexpr auto kLed = isA<CLED>, kDisplay = isA<CParamDisplay>, kKnob = isA<CAnimKnob3>,
               kButton = isA<CZALOnOffButton>, kSwitch = isA<CHorizontalSwitch>,
               kCoax = isA<CAnimCoaxKnob>, kAbout = isA<CAbout>;
constexpr int kNo = -1;

struct LayoutRow {
  bool (*hasClass)(CView*);
  CRect rect;
  int32_t tag;
  int parameter;  // read at open: the value, or the centre of a band knob
  float defaultValue;
  int bitmap;  // drawn from the image of `images` the value selects
  int images;
  int ring = kNo;  // a band knob's ring: its parameter, picture and images
  int ringBitmap = 0;
  int ringImages = 0;
};

// In the order they are added. Rectangles as the pictures' sizes give them: buttons 30 x 32
// (2 images), switches 52 x 48 (3), band knobs 70 x 70 per image inside a 20-pixel margin, the
// high-pass knob 70 x 70 per image, the output knob 58 x 102 per image shown 82 high, the LED
// 16 x 16 per image; the latency readouts and the about hot-spot have no picture of their own.
const LayoutRow kLayout[] = {
    {kLed, {712, 57, 728, 73}, ADEditor::kTagClipLed, kNo, kNo, 11520, 3},
    {kDisplay, {58, 214, 108, 226}, kNo, kNo, kNo, 0, 0},
    {kDisplay, {102, 214, 152, 226}, kNo, kNo, kNo, 0, 0},
    {kKnob, {651, 76, 709, 158}, kOutput, kOutput, 0.5f, 11562, 41},
    {kButton, {663, 22, 693, 38}, kEqAll, kEqAll, kNo, 11510, 2},
    {kSwitch, {64, 168, 116, 184}, kLsr, kLsr, 0.5f, 11512, 3},
    {kButton, {663, 168, 693, 184}, kSat, kSat, kNo, 11518, 2},
    {kButton, {91, 22, 121, 38}, kHpf, kHpf, kNo, 11540, 2},
    {kKnob, {55, 76, 125, 146}, kHpfFreq, kHpfFreq, 0.f, 11541, 41},
    {kButton, {209, 22, 239, 38}, kLf, kLf, kNo, 11543, 2},
    {kButton, {182, 168, 212, 184}, kLfDip, kLfDip, kNo, 11516, 2},
    {kCoax, {154, 56, 264, 166}, 41, kLfGain, 0.5f, 11571, 41, kLfFreq, 11558, 11},
    {kButton, {330, 22, 360, 38}, kLmf, kLmf, kNo, 11546, 2},
    {kSwitch, {302, 168, 354, 184}, kLmQ, kLmQ, 0.5f, 11547, 3},
    {kCoax, {273, 56, 383, 166}, 42, kLmGain, 0.5f, 11572, 29, kLmFreq, 11559, 15},
    {kButton, {448, 22, 478, 38}, kHmf, kHmf, kNo, 11548, 2},
    {kSwitch, {421, 168, 473, 184}, kHmQ, kHmQ, 0.5f, 11549, 3},
    {kCoax, {392, 56, 502, 166}, 43, kHmGain, 0.5f, 11573, 29, kHmFreq, 11576, 15},
    {kButton, {568, 22, 598, 38}, kHf, kHf, kNo, 11552, 2},
    {kButton, {541, 168, 571, 184}, kHfDip, kHfDip, kNo, 11517, 2},
    {kCoax, {512, 56, 622, 166}, 44, kHfGain, 0.5f, 11553, 41, kHfFreq, 11557, 11},
    {kAbout, {323, 210, 458, 227}, ADEditor::kTagAbout, kNo, kNo, 0, 0},
};

TEST_F(EditorTest, EveryControlOpensInTableOrderAtItsPlaceWiredToItsParameterAndDrawn) {
  setAllDistinct();
  // The rings (LF, LM, HM, HF, four indexes apart) at values whose image differs from the one
  // a strip of one image more would give.
  const float rings[] = {.84f, .82f, .8f, .78f};
  for (int k = 0; k < 4; ++k) effect->setParameter(kLfFreq + 4 * k, rings[k]);
  open();
  editor->idle();
  EXPECT_EQ(differences(CRect(0, 0, 778, 20), {{11500, 0, 0}}), 0) << "the background";
  for (int i = 0; i < static_cast<int>(std::size(kLayout)); ++i) {
    const LayoutRow& row = kLayout[i];
    SCOPED_TRACE(i);
    auto* c = dynamic_cast<CControl*>(frame()->getView(i));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(row.hasClass(c));
    EXPECT_EQ(c->getViewSize(), row.rect);
    EXPECT_EQ(c->getTag(), row.tag);
    EXPECT_EQ(c->getListener(), row.tag == kNo ? nullptr : editor);
    if (row.defaultValue != kNo) {
      EXPECT_EQ(c->getDefaultValue(), row.defaultValue);
    }
    if (auto* display = dynamic_cast<CParamDisplay*>(c)) {  // on the window's own picture
      char text[256];
      display->getDisplayText(display->getValue(), text);
      EXPECT_STREQ(text, i == 1 ? "1.0ms" : "46smps");
      EXPECT_EQ(std::make_tuple(display->getHoriAlign(), display->getFont(),
                                display->getBackground(), display->getBackOffset()),
                std::make_tuple(kLeftText, kNormalFontVerySmall, frame()->getBackground(),
                                row.rect.getTopLeft()));
      EXPECT_EQ(display->getFontColor(), kDarkGreyCColor);
    }
    if (row.parameter == kNo) continue;
    float value = effect->getParameter(row.parameter);
    if (row.parameter == kHmQ || row.parameter == kLmQ) value = std::trunc(value * 12.f) / 12.f;
    EXPECT_EQ(c->getValue(), value);
    const int image = stripIndexRound(value, row.images);
    if (row.ring == kNo) {
      EXPECT_EQ(differences(row.rect, {{row.bitmap, row.images, image}}), 0);
      continue;
    }
    const float ring = effect->getParameter(row.ring);
    EXPECT_EQ(static_cast<CAnimCoaxKnob*>(c)->getExtValue(), ring);
    // Both strips in the image rectangle, the ring over the centre.
    const CRect imageRect(row.rect.left + 20, row.rect.top + 20, row.rect.right - 20,
                          row.rect.bottom - 20);
    EXPECT_EQ(differences(imageRect, {{row.bitmap, row.images, image},
                                      {row.ringBitmap, row.ringImages,
                                       stripIndexRound(ring, row.ringImages)}}),
              0);
  }
}

TEST_F(EditorTest, TheAboutPictureShowsTheVersionCentredInItsBox) {
  open();
  click(330, 215);
  editor->idle();
  const CRect box(441, 53, 473, 63);
  int left = 1000, right = -1;
  for (int x = box.left; x < box.right; ++x)
    if (differences(CRect(x, box.top, x + 1, box.bottom), {{11580, 0, 0}}) > 0) {
      left = std::min(left, x);
      right = std::max(right, x);
    }
  ASSERT_GE(right, left) << "a label";
  EXPECT_LE(std::abs((left - 441) - (472 - right)), 2) << "centred horizontally";
  // Everywhere else the picture is copied unchanged.
  for (const CRect& area : {CRect(0, 0, 778, 53), CRect(0, 53, 441, 248), CRect(473, 53, 778, 248),
                            CRect(441, 63, 473, 248)})
    EXPECT_EQ(differences(area, {{11580, 0, 0}}), 0);
}

// The pictures are compiled in, but one that fails to decode must not cost the window its
// controls: an about hot-spot with no picture would open an invisible picture that no click
// can close, and every control beneath it would stay dead.
bool withoutAboutPicture(const char* name, const unsigned char** data, std::size_t* size) {
  return std::strcmp(name, "bmp11580.png") != 0 && embeddedResourceProvider(name, data, size);
}

TEST_F(EditorTest, AnAboutPictureThatCannotBeLoadedLeavesTheWindowUsable) {
  CBitmap::setResourceProvider(withoutAboutPicture);
  open();
  CBitmap::setResourceProvider(embeddedResourceProvider);
  editor->idle();
  click(330, 215);
  EXPECT_EQ(frame()->getModalView(), nullptr);
  EXPECT_EQ(control(ADEditor::kTagAbout)->getValue(), 0.f);
  const float eq = effect->getParameter(kEqAll);
  click(678, 30);
  EXPECT_NE(effect->getParameter(kEqAll), eq);
}

}  // namespace
