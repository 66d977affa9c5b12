// The window as it opens: every control of the layout where it belongs, wired to its
// parameter, with the values of the effect at that moment.
#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>

#include "EditorTestSupport.h"
#include "editor/CAbout.h"
#include "editor/CAnimCoaxKnob.h"
#include "editor/CAnimKnob3.h"
#include "editor/CLED.h"
#include "editor/CZALOnOffButton.h"
#include "gui/CBitmap.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CParamDisplay.h"
#include "resources/EmbeddedResources.h"

using namespace editortest;

namespace {

template <typename T>
bool isA(CView* view) {
  return dynamic_cast<T*>(view) != nullptr;
}

float twelfths(float v) { return std::trunc(v * 12.f) / 12.f; }

constexpr int kNoTag = -1;
constexpr int kNone = -1;

struct LayoutRow {
  const char* what;
  bool (*hasClass)(CView*);
  CRect rect;
  int32_t tag;
  int parameter;  // read at open: the value, or the centre of a coaxial knob
  int ring;       // the ring's parameter of a coaxial knob
  bool twelfths;
};

// Rectangles as the bitmaps' sizes give them: buttons 30 x 32 (2 images), switches 52 x 48
// (3), band knobs 70 x 70 per image inside a 20-pixel margin, the high-pass knob 70 x 70 per
// image, the output knob 58 x 102 per image shown 82 high, the LED 16 x 16 per image.
const LayoutRow kLayout[] = {
    {"clip LED", isA<CLED>, CRect(712, 57, 728, 73), ADEditor::kTagClipLed, kNone, kNone, false},
    {"latency ms", isA<CParamDisplay>, CRect(58, 214, 108, 226), kNoTag, kNone, kNone, false},
    {"latency samples", isA<CParamDisplay>, CRect(102, 214, 152, 226), kNoTag, kNone, kNone, false},
    {"output", isA<CAnimKnob3>, CRect(651, 76, 709, 158), kOutput, kOutput, kNone, false},
    {"EQ", isA<CZALOnOffButton>, CRect(663, 22, 693, 38), kEqAll, kEqAll, kNone, false},
    {"LSR", isA<CHorizontalSwitch>, CRect(64, 168, 116, 184), kLsr, kLsr, kNone, false},
    {"SAT", isA<CZALOnOffButton>, CRect(663, 168, 693, 184), kSat, kSat, kNone, false},
    {"HPF", isA<CZALOnOffButton>, CRect(91, 22, 121, 38), kHpf, kHpf, kNone, false},
    {"HPF freq", isA<CAnimKnob3>, CRect(55, 76, 125, 146), kHpfFreq, kHpfFreq, kNone, false},
    {"LF", isA<CZALOnOffButton>, CRect(209, 22, 239, 38), kLf, kLf, kNone, false},
    {"LF dip", isA<CZALOnOffButton>, CRect(182, 168, 212, 184), kLfDip, kLfDip, kNone, false},
    {"LF knob", isA<CAnimCoaxKnob>, CRect(154, 56, 264, 166), 41, kLfGain, kLfFreq, false},
    {"LMF", isA<CZALOnOffButton>, CRect(330, 22, 360, 38), kLmf, kLmf, kNone, false},
    {"LM Q", isA<CHorizontalSwitch>, CRect(302, 168, 354, 184), kLmQ, kLmQ, kNone, true},
    {"LM knob", isA<CAnimCoaxKnob>, CRect(273, 56, 383, 166), 42, kLmGain, kLmFreq, false},
    {"HMF", isA<CZALOnOffButton>, CRect(448, 22, 478, 38), kHmf, kHmf, kNone, false},
    {"HM Q", isA<CHorizontalSwitch>, CRect(421, 168, 473, 184), kHmQ, kHmQ, kNone, true},
    {"HM knob", isA<CAnimCoaxKnob>, CRect(392, 56, 502, 166), 43, kHmGain, kHmFreq, false},
    {"HF", isA<CZALOnOffButton>, CRect(568, 22, 598, 38), kHf, kHf, kNone, false},
    {"HF dip", isA<CZALOnOffButton>, CRect(541, 168, 571, 184), kHfDip, kHfDip, kNone, false},
    {"HF knob", isA<CAnimCoaxKnob>, CRect(512, 56, 622, 166), 44, kHfGain, kHfFreq, false},
    {"about", isA<CAbout>, CRect(323, 210, 458, 227), ADEditor::kTagAbout, kNone, kNone, false},
};
constexpr int kWindowControls = sizeof(kLayout) / sizeof(kLayout[0]);

TEST_F(EditorTest, EveryControlOpensInTableOrderAtItsPlaceWiredToItsParameter) {
  ERect* rect = nullptr;  // answered before the window opens
  ASSERT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.f), 1);
  EXPECT_EQ(std::tie(rect->top, rect->left, rect->bottom, rect->right),
            std::make_tuple(0, 0, 248, 778));
  setAllDistinct();
  open();
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 778, 248));
  ASSERT_NE(frame()->getBackground(), nullptr);
  EXPECT_EQ(frame()->getBackground()->getWidth(), 778);
  EXPECT_EQ(editor->getKnobMode(), kLinearMode);
  ASSERT_GE(frame()->getNbViews(), kWindowControls);
  for (int i = 0; i < kWindowControls; ++i) {
    const LayoutRow& row = kLayout[i];
    SCOPED_TRACE(row.what);
    auto* c = dynamic_cast<CControl*>(frame()->getView(i));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(row.hasClass(c));
    EXPECT_EQ(c->getViewSize(), row.rect);
    EXPECT_EQ(c->getTag(), row.tag);
    EXPECT_EQ(c->getListener(), row.tag == kNoTag ? nullptr : editor);
    if (row.parameter == kNone) continue;
    const float value = distinctValue(row.parameter);
    EXPECT_EQ(c->getValue(), row.twelfths ? twelfths(value) : value);
    if (row.ring != kNone) {
      EXPECT_EQ(static_cast<CAnimCoaxKnob*>(c)->getExtValue(), distinctValue(row.ring));
    }
  }
  EXPECT_EQ(control(ADEditor::kTagClipLed)->getValue(), 1e-9f);
  EXPECT_EQ(control(ADEditor::kTagAbout)->getValue(), 0.f);
}

TEST_F(EditorTest, KnobsSwitchesAndReadoutsCarryTheirSettings) {
  open();
  // The output knob's images are a 41st of its bitmap (its view a 51st).
  const struct {
    int32_t tag;
    CCoord imageHeight;
    float defaultValue;
  } knobs[] = {{kOutput, 102, 0.5f}, {kHpfFreq, 70, 0.f}};
  for (const auto& k : knobs) {
    auto* knob = control<CAnimKnob3>(k.tag);
    ASSERT_NE(knob, nullptr) << k.tag;
    EXPECT_EQ(knob->getNumSubPixmaps(), 41);
    EXPECT_EQ(knob->getHeightOfOneImage(), k.imageHeight);
    EXPECT_EQ(knob->getDefaultValue(), k.defaultValue);
    EXPECT_EQ(knob->dragZoom, 0.5);
    EXPECT_EQ(knob->getShiftZoom(), 1.0) << "Shift makes no difference in this window";
  }
  for (auto [tag, left] : {std::pair{41, 174}, {42, 293}, {43, 412}, {44, 532}}) {
    auto* knob = control<CAnimCoaxKnob>(tag);
    ASSERT_NE(knob, nullptr) << tag;
    EXPECT_EQ(knob->getImageRect(), CRect(left, 76, left + 70, 146));
    EXPECT_EQ(knob->getStep(), 1.f / 256);
    EXPECT_EQ(knob->getDefaultValue(), 0.5f);
    EXPECT_EQ(knob->getDefaultExtValue(), 0.5f);
  }
  for (int32_t tag : {kLsr, kLmQ, kHmQ}) {
    EXPECT_EQ(dynamic_cast<CHorizontalSwitch*>(control(tag))->getNumSubPixmaps(), 3) << tag;
    EXPECT_EQ(control(tag)->getDefaultValue(), 0.5f) << tag;
  }
  auto* about = control<CAbout>(ADEditor::kTagAbout);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->getDisplayArea(), CRect(0, 0, 778, 248));
  EXPECT_EQ(about->getDisplayOffset(), CPoint(0, 0));

  const struct {
    int view;
    float value;
    const char* text;
  } readouts[] = {{1, effect->getLatency1(), "1.0ms"}, {2, 46.f, "46smps"}};
  for (const auto& r : readouts) {
    auto* display = dynamic_cast<CParamDisplay*>(frame()->getView(r.view));
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->getValue(), r.value);
    EXPECT_EQ(display->getMax(), 10000.f);
    EXPECT_EQ(display->getMin(), 0.f);
    char text[256];
    display->getDisplayText(display->getValue(), text);
    EXPECT_STREQ(text, r.text);
    EXPECT_EQ(display->getStyle(), 0);
    EXPECT_EQ(display->getHoriAlign(), kLeftText);
    EXPECT_EQ(display->getFont(), kNormalFontVerySmall);
    EXPECT_EQ(display->getFontColor(), kDarkGreyCColor);
    // The window's own picture behind the text, lined up with the window.
    EXPECT_EQ(display->getBackground(), frame()->getBackground());
    EXPECT_EQ(display->getBackOffset(),
              CPoint(display->getViewSize().left, display->getViewSize().top));
  }
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
  effect->meterPeak = 1.0;
  editor->idle();
  EXPECT_EQ(control(ADEditor::kTagClipLed)->getValue(), 1.f);
  const float eq = effect->getParameter(kEqAll);
  click(678, 30);
  EXPECT_NE(effect->getParameter(kEqAll), eq);
}

}  // namespace
