// Gestures on the window's controls, delivered through the frame, reach the effect as
// host-automated parameter changes, bracketed by begin/end edit of the parameter changed:
// the host never hears of an index that is no parameter.
#include <functional>

#include "EditorTestSupport.h"

using namespace editortest;

namespace {

struct GestureRow {
  const char* what;
  std::function<void()> gesture;
  int parameter;  // automated, and announced in begin/end edit
  float value;    // the value the host is told last
  bool relative;  // `value` is added to the parameter's value before the gesture
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
  // The host calls of one gesture: begin, automation of one parameter (one per change), end.
  void expectOneGesture(int parameter, float value) {
    const std::vector<HostCall> calls = hostRecord().take();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), beginEdit(parameter));
    EXPECT_EQ(calls.back(), endEdit(parameter));
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
      EXPECT_EQ(calls[i].opcode, audioMasterAutomate);
      EXPECT_EQ(calls[i].index, parameter);
      EXPECT_TRUE(i == 1 || calls[i].value != calls[i - 1].value) << "a step that changed nothing";
    }
    EXPECT_NEAR(calls[calls.size() - 2].value, value, 1e-5f);
    EXPECT_NEAR(effect->getParameter(parameter), value, 1e-5f);
  }
  // Down at the first point, moved through the others, up at the last; each point with its
  // modifiers.
  struct Point {
    double x, y;
    int64_t modifiers = 0;
  };
  std::function<void()> path(std::vector<Point> points) {
    return [this, points] {
      for (std::size_t i = 0; i < points.size(); ++i) {
        CPoint p(points[i].x, points[i].y);
        const CButtonState b(kLButton | points[i].modifiers);
        if (i == 0) frame()->onMouseDown(p, b);
        if (i > 0) frame()->onMouseMoved(p, b);
        if (i + 1 == points.size()) frame()->onMouseUp(p, b);
      }
    };
  }
};

float d(int index) { return distinctValue(index); }
// What a click makes of a button's value.
float flipped(int index) { return d(index) < 0.5f ? 1.f : 0.f; }

// A band knob's ring is anything beyond 23 pixels from its centre point (209, 111), (328, 111),
// (447, 111) or (568, 111), inside the knob's rectangle.
TEST_F(GestureTest, EachControlAutomatesItsOwnParameter) {
  auto clickAt = [this](double x, double y, int64_t modifiers = 0) {
    return [=, this] { click(x, y, kLButton | modifiers); };
  };
  auto wheel = [this](double x, double y, float distance, int64_t modifiers = 0) {
    return [=, this] { frame()->onWheel(CPoint(x, y), distance, CButtonState(modifiers)); };
  };
  const GestureRow rows[] = {
      {"EQ", clickAt(678, 30), kEqAll, flipped(kEqAll), false},
      {"HPF", clickAt(106, 30), kHpf, flipped(kHpf), false},
      {"HF dip", clickAt(556, 176), kHfDip, flipped(kHfDip), false},
      {"LSR left position", clickAt(66, 176), kLsr, 0.f, false},
      {"LM Q right position", clickAt(352, 176), kLmQ, 1.f, false},
      {"HM Q middle position", clickAt(447, 176), kHmQ, 0.5f, false},
      // 50 pixels up is 100 drag units of the 500 a full sweep takes, with or without Shift.
      {"output knob", path({{680, 120}, {680, 70}}), kOutput, 0.2f, true},
      {"HPF knob", path({{90, 110}, {140, 110, kShift}, {190, 110}}), kHpfFreq, 0.2f, true},
      // Beyond the end the movement goes on counting: 300 right and 200 back make 100.
      {"HPF knob past its end", path({{90, 110}, {390, 110}, {340, 110}, {190, 110}}), kHpfFreq,
       0.2f, true},
      {"output wheel", wheel(680, 110, 2.f), kOutput, 0.02f, true},
      {"HPF wheel with Shift", wheel(90, 110, -3.f, kShift), kHpfFreq, -0.003f, true},
      {"HPF Ctrl-click", clickAt(90, 110, kControl), kHpfFreq, 0.f, false},
      {"output double click", clickAt(680, 110, kDoubleClick), kOutput, 0.5f, false},
      {"output wheel to its end", wheel(680, 110, 60.f), kOutput, 1.f, false},
      // 10 pixels up: ten steps of 1/128 on a ring, of 1/256 on a centre.
      {"LF centre at the radius", path({{232, 111}, {232, 101}}), kLfGain, 10.f / 256, true},
      {"LF ring just beyond", path({{233, 111}, {233, 101}}), kLfFreq, 10.f / 128, true},
      {"LM ring (down)", path({{358, 111}, {358, 121}}), kLmFreq, -10.f / 128, true},
      {"LM ring wheel to its end", wheel(358, 111, 5.f), kLmFreq, 1.f, false},
      // Half a step to the right changes nothing; Shift then halves the rate without a jump.
      {"LM centre, Shift halfway",
       path({{330, 113}, {330, 103}, {331, 103}, {331, 103, kShift}, {331, 93, kShift}}), kLmGain,
       15.f / 256, true},
      // After a modifier change a ring step is a tenth.
      {"HM ring, Shift halfway",
       path({{447, 140}, {447, 130}, {447, 130, kShift}, {447, 128, kShift}}), kHmFreq,
       10.f / 128 + 0.2f, true},
      {"HF ring", path({{538, 111}, {538, 101}}), kHfFreq, 10.f / 128, true},
      // With Alt the centre turns by angle; across the dial's gap it stays at the end.
      {"LF centre with Alt", path({{224, 123, kAlt}, {194, 123, kAlt}}), kLfGain, 1.f, false},
      {"LF ring wheel", wheel(209, 81, 1.f), kLfFreq, 0.026041670f, true},
      // A double click resets the centre, whatever part it hits and was edited before.
      {"LF double click on the ring", clickAt(209, 81, kDoubleClick), kLfGain, 0.5f, false},
      {"LF centre wheel with Shift", wheel(209, 111, -1.f, kShift), kLfGain, -0.0026041670f, true},
  };
  for (const GestureRow& row : rows) {
    SCOPED_TRACE(row.what);
    const float before = effect->getParameter(row.parameter);
    row.gesture();
    expectOneGesture(row.parameter, row.relative ? before + row.value : row.value);
    editor->idle();  // the change comes back from the effect
  }
  EXPECT_NEAR(effect->getParameter(kLfFreq), d(kLfFreq) + 10.f / 128 + 0.026041670f, 1e-5f)
      << "the ring keeps its value through the centre's reset";
}

// The preset row's controls edit no parameter: the host hears only the preset switch's
// bracket around index 0. Right clicks on the controls are not gestures at all.
TEST_F(GestureTest, PanelControlsAndRightClicksAnnounceNoGestureOfTheirOwn) {
  const std::vector<HostCall> presetSwitch{beginEdit(0), endEdit(0)};
  click(328, 239);  // the rocker's right half: the next preset
  EXPECT_EQ(hostRecord().take(), presetSwitch);
  // A name typed into the field, as the host passes the keys; unfocused, the host keeps them.
  EXPECT_EQ(effect->dispatcher(effEditKeyDown, 'x', 0, nullptr, 0), 0);
  click(200, 239);
  EXPECT_EQ(effect->dispatcher(effEditKeyDown, 'x', 0, nullptr, 0), 1);
  EXPECT_EQ(effect->dispatcher(effEditKeyDown, 0, kVKeyReturn, nullptr, 0), 1);
  char name[kVstMaxProgNameLen + 1];
  effect->getProgramName(name);
  EXPECT_NE(std::string(name).find('x'), std::string::npos) << name;
  click(358, 239);  // store A
  EXPECT_EQ(effect->getPresetNo(), 1);
  for (const CPoint& p : {CPoint(678, 30), CPoint(680, 110), CPoint(209, 81)})
    click(p.x, p.y, kRButton);
  EXPECT_EQ(hostRecord().take(), std::vector<HostCall>{});
  EXPECT_EQ(frame()->getModalView(), nullptr) << "no Size menu over a control";
}

}  // namespace
