#include "GuiTestSupport.h"

#include "gui/CHorizontalSwitch.h"
#include "gui/CKickButton.h"
#include "gui/CKnob.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(CControl, NestedEditsReachTheHostOnceAndDirtyFollowsTheValueLastDrawn) {
  CallLog log;
  TestFrame frame(log);
  auto* control = new CControl(CRect(0, 0, 10, 10), &log, 7);
  frame->addView(control);
  for (const bool begin : {true, true, false, false, false}) {  // the last end is one too many
    begin ? control->beginEdit() : control->endEdit();
    EXPECT_EQ(control->isEditing(), log.calls.size() == 1);
  }
  EXPECT_EQ(log.calls, (Calls{"begin 7", "end 7"}));

  control->setDirty(false);
  control->setValue(0.25f);
  EXPECT_TRUE(control->isDirty());
  control->setDirty(false);
  control->setDirty(true);
  EXPECT_TRUE(control->isDirty()) << "forced, with an unchanged value";
  control->setMin(-2.f);
  control->setValue(-5.f);
  EXPECT_EQ(control->getValue(), -2.f);
  control->setValue(-1.f);
  control->setDirty(true);
  EXPECT_TRUE(control->isDirty()) << "forced at a value of -1 too";
  control->setValue(5.f);
  EXPECT_EQ(control->getValue(), 1.f);
}

TEST(CControl, ClosingTheWindowMidGestureStillEndsTheEdit) {
  CallLog log;
  auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, &log);
  frame->addView(new CKnob(CRect(0, 0, 40, 40), &log, 4, nullptr, nullptr));
  CPoint p(20, 20);
  frame->onMouseDown(p, CButtonState(kLButton));
  frame->close();
  EXPECT_EQ(log.calls, (Calls{"begin 4", "end 4"}));
}

// The editor's band knobs turn by angle through this: 0 lower left, 0.5 up, 1 lower right.
TEST(CKnob, ValueFromPointFollowsTheDial) {
  CKnob knob(CRect(0, 0, 40, 40), nullptr, 0, nullptr, nullptr);  // inset 3: radius 17
  const std::tuple<double, double, float> table[] = {
      {20, 0, 0.5f}, {0, 20, 1.f / 6},        {40, 20, 5.f / 6}, {5, 39, 0.f},
      {35, 39, 1.f}, {3.2093, 17.3406, 0.2f},  // on the dial, 54 degrees past the start
  };
  for (const auto& [x, y, expected] : table) {
    CPoint p(x, y);
    EXPECT_NEAR(knob.valueFromPoint(p), expected, 2e-3) << x << "," << y;
  }
  knob.setMin(-1.f);
  knob.setMax(3.f);
  CPoint up(20, 0);
  EXPECT_NEAR(knob.valueFromPoint(up), 1.f, 1e-5) << "min + v * (max - min)";
}

// The toolkit knob's own gesture (the editor's knobs have theirs): a straight drag, up or
// right, 200 pixels over the range.
TEST(CKnob, DragsUpOrRightOverTwoHundredPixels) {
  CallLog log;
  TestFrame frame(log);
  auto* knob = new CKnob(CRect(100, 100, 140, 140), &log, 9, nullptr, nullptr);
  knob->setValue(0.2f);
  frame->addView(knob);
  EXPECT_EQ(frame.down(120, 120, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(frame.down(120, 120), kMouseEventHandled);
  frame.move(130, 110);
  EXPECT_NEAR(knob->getValue(), 0.3f, 1e-6);
  frame.move(120, 500);
  frame.up(120, 500);
  EXPECT_EQ(log.calls, (Calls{"begin 9", "changed 9 0.3", "changed 9 0", "end 9"}));
  CPoint p(120, 90);
  EXPECT_EQ(knob->onMouseMoved(p, CButtonState()), kMouseEventNotHandled);
}

// Max while pressed with the pointer over it (edges included), min elsewhere; released, it
// reports its value if it was max, then min.
TEST(CKickButton, IsMaxOnlyWhilePressedInsideAndFiresOnRelease) {
  CallLog log;
  TestFrame frame(log);
  frame->addView(new CKickButton(CRect(10, 10, 30, 20), &log, 5, nullptr));
  EXPECT_EQ(frame.down(15, 15, kRButton), kMouseEventNotHandled);
  for (const double x : {30, 50}) {  // released on the far edge, then outside
    EXPECT_EQ(frame.down(15, 15), kMouseEventHandled);
    frame.move(x, 20);
    frame.up(x, 20);
  }
  EXPECT_EQ(log.calls, (Calls{"begin 5", "changed 5 1", "changed 5 0", "end 5", "begin 5",
                              "changed 5 0", "end 5"}));
}

// The editor's three-way switches: a Control-click sets the default as one gesture (reported
// only when it changes the value); the image is the value rounded to a position.
TEST(CHorizontalSwitch, ControlClickSetsTheDefaultAndTheImageIsTheNearestPosition) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(60, 10, 3);
  auto* sw = new CHorizontalSwitch(CRect(100, 0, 160, 10), &log, 1, 3, 10, 3, strip);
  frame->addView(sw);
  frame.down(119.9, 5);  // the positions are thirds of the picture's width
  frame.move(120, 5);
  frame.move(200, 5);
  frame.up(200, 5);
  sw->setDefaultValue(0.5f);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(frame.down(105, 5, kLButton | kControl),
              kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(frame.down(105, 5, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(log.calls, (Calls{"begin 1", "changed 1 0.5", "changed 1 1", "end 1", "begin 1",
                              "changed 1 0.5", "end 1", "begin 1", "end 1"}));
  for (const auto& [value, image] : std::initializer_list<std::pair<float, int>>{
           {0.24f, 0}, {0.25f, 1}, {0.74f, 1}, {0.75f, 2}}) {
    sw->setValue(value);
    EXPECT_EQ(
        countDifferences(renderView(sw).get(), sw->getViewSize(), strip, CPoint(0, image * 10)), 0)
        << value;
  }
  // A switch of one position stays at it wherever it is pressed.
  auto* one = new CHorizontalSwitch(CRect(0, 20, 60, 30), &log, 2, 3, 10, 1, strip);
  frame->addView(one);
  frame.down(50, 25);
  frame.up(50, 25);
  EXPECT_EQ(one->getValue(), 0.f);
  strip->forget();
}
