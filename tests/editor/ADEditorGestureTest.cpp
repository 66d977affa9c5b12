// Gestures on the window's controls, delivered through the frame, reach the effect as
// host-automated parameter changes, bracketed by begin/end edit of the parameter changed:
// the host never hears of an index that is no parameter.
#include <functional>

#include "EditorTestSupport.h"
#include "gui/COptionMenuPopup.h"

using namespace editortest;

namespace {

struct GestureRow {
  const char* what;
  std::function<void()> gesture;
  int32_t tag;      // of the control
  int parameter;    // automated, and announced in begin/end edit
  float automated;  // the value the host is told last
};

class GestureTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    setAllDistinct();
    open();
    editor->idle();
    hostRecord().take();
  }
  // The host calls of one gesture: begin, automation of one parameter (one per step), end.
  void expectOneGesture(const GestureRow& row) {
    const std::vector<HostCall> calls = hostRecord().take();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), beginEdit(row.parameter));
    EXPECT_EQ(calls.back(), endEdit(row.parameter));
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
      EXPECT_EQ(calls[i].opcode, audioMasterAutomate);
      EXPECT_EQ(calls[i].index, row.parameter);
    }
    EXPECT_NEAR(calls[calls.size() - 2].value, row.automated, 1e-6f);
    EXPECT_NEAR(effect->getParameter(row.parameter), row.automated, 1e-6f);
  }
};

float d(int index) { return distinctValue(index); }
// What a click makes of a button's value.
float flipped(int index) { return d(index) < 0.5f ? 1.f : 0.f; }

// Centre points of the controls; a coaxial knob's ring is anything beyond 23 pixels from its
// centre point, inside the knob's rectangle.
TEST_F(GestureTest, EachControlAutomatesItsOwnParameter) {
  auto clickAt = [this](double x, double y) { return [=, this] { click(x, y); }; };
  auto dragFrom = [this](CPoint from, CPoint to) { return [=, this] { drag(from, to); }; };
  const GestureRow rows[] = {
      {"EQ", clickAt(678, 30), kEqAll, kEqAll, flipped(kEqAll)},
      {"SAT", clickAt(678, 176), kSat, kSat, flipped(kSat)},
      {"HPF", clickAt(106, 30), kHpf, kHpf, flipped(kHpf)},
      {"LF", clickAt(224, 30), kLf, kLf, flipped(kLf)},
      {"LF dip", clickAt(197, 176), kLfDip, kLfDip, flipped(kLfDip)},
      {"LMF", clickAt(345, 30), kLmf, kLmf, flipped(kLmf)},
      {"HMF", clickAt(463, 30), kHmf, kHmf, flipped(kHmf)},
      {"HF", clickAt(583, 30), kHf, kHf, flipped(kHf)},
      {"HF dip", clickAt(556, 176), kHfDip, kHfDip, flipped(kHfDip)},
      {"LSR left position", clickAt(66, 176), kLsr, kLsr, 0.f},
      {"LM Q right position", clickAt(352, 176), kLmQ, kLmQ, 1.f},
      {"HM Q middle position", clickAt(447, 176), kHmQ, kHmQ, 0.5f},
      // 50 pixels up is 100 drag units of the 500 a full sweep takes.
      {"output knob", dragFrom({680, 120}, {680, 70}), kOutput, kOutput, d(kOutput) + 0.2f},
      {"HPF knob", dragFrom({90, 110}, {190, 110}), kHpfFreq, kHpfFreq, d(kHpfFreq) + 0.2f},
      // 10 pixels up: ten steps of 1/128 on a ring, of 1/256 on a centre.
      {"LF ring", dragFrom({209, 81}, {209, 71}), 41, kLfFreq, d(kLfFreq) + 10.f / 128},
      {"LF centre", dragFrom({209, 111}, {209, 101}), 41, kLfGain, d(kLfGain) + 10.f / 256},
      {"LM ring (down)", dragFrom({358, 111}, {358, 121}), 42, kLmFreq, d(kLmFreq) - 10.f / 128},
      {"LM centre", dragFrom({330, 113}, {330, 103}), 42, kLmGain, d(kLmGain) + 10.f / 256},
      {"HM ring", dragFrom({447, 140}, {447, 130}), 43, kHmFreq, d(kHmFreq) + 10.f / 128},
      {"HM centre", dragFrom({447, 111}, {447, 101}), 43, kHmGain, d(kHmGain) + 10.f / 256},
      {"HF ring", dragFrom({538, 111}, {538, 101}), 44, kHfFreq, d(kHfFreq) + 10.f / 128},
      {"HF centre", dragFrom({568, 111}, {568, 101}), 44, kHfGain, d(kHfGain) + 10.f / 256},
  };
  for (const GestureRow& row : rows) {
    SCOPED_TRACE(row.what);
    row.gesture();
    expectOneGesture(row);
    // The change comes back from the effect; at the next idle the control still agrees.
    const float before = control(row.tag)->getValue();
    editor->idle();
    EXPECT_EQ(control(row.tag)->getValue(), before);
  }
}

TEST_F(GestureTest, AWheelTurnOnARingIsOneGesture) {
  frame()->onWheel(CPoint(209, 81), 1.f, CButtonState());
  expectOneGesture({"wheel", nullptr, 41, kLfFreq, d(kLfFreq) + 0.026041670f});
  // A double click resets the centre, whatever part was edited before.
  click(209, 81, kLButton | kDoubleClick);
  expectOneGesture({"reset", nullptr, 41, kLfGain, 0.5f});
}

// The preset row's controls edit no parameter: the host hears only the preset switch's
// bracket around index 0.
TEST_F(GestureTest, PanelControlsAnnounceNoGestureOfTheirOwn) {
  const std::vector<HostCall> presetSwitch{beginEdit(0), endEdit(0)};
  click(328, 239);  // the rocker's right half: the next preset
  EXPECT_EQ(hostRecord().take(), presetSwitch);
  click(299, 239);  // the menu opens its list
  auto* popup = dynamic_cast<COptionMenuPopup*>(frame()->getModalView());
  ASSERT_NE(popup, nullptr);
  const CRect entry = popup->entryRect(3);
  click(entry.left + 5, entry.top + 3);
  EXPECT_EQ(hostRecord().take(), presetSwitch);
  click(200, 239);  // a name typed into the field
  for (const unsigned char virt : {kVKeyNone, kVKeyReturn}) {
    CKeyCode key;
    key.virt = virt;
    key.character = virt == kVKeyNone ? 'x' : 0;
    frame()->onKeyDown(key);
  }
  click(358, 239);  // store A
  EXPECT_EQ(hostRecord().take(), std::vector<HostCall>{});
  EXPECT_EQ(effect->getPresetNo(), 3);
}

}  // namespace
