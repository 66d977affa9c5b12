#include "GuiTestSupport.h"

#include "gui/CKnob.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(CControl, NestedEditsReachTheHostOnceAndInOrder) {
  CallLog log;
  log.logListenerEdits = true;
  TestFrame frame(log);
  auto* control = new CControl(CRect(0, 0, 10, 10), &log, 7);
  frame->addView(control);
  control->beginEdit();
  control->beginEdit();
  control->endEdit();
  EXPECT_TRUE(control->isEditing());
  control->endEdit();
  control->endEdit();  // unbalanced extra end: ignored
  EXPECT_EQ(log.calls, (Calls{"lbegin 7", "begin 7", "end 7", "lend 7"}));
}

TEST(CControl, DirtyFollowsValueAgainstLastDrawn) {
  CControl control(CRect(0, 0, 10, 10));
  EXPECT_TRUE(control.isDirty()) << "a new control has never been drawn";
  control.setDirty(false);
  EXPECT_FALSE(control.isDirty());
  control.setValue(0.25f);
  EXPECT_TRUE(control.isDirty());
  control.setDirty(false);
  control.setDirty(true);
  EXPECT_TRUE(control.isDirty()) << "setDirty(true) forces a redraw even with an unchanged value";
  control.setValue(-1.f);  // clamped to min
  EXPECT_EQ(control.getValue(), 0.f);
  control.setMin(-2.f);
  control.setValue(-1.f);
  control.setDirty(true);
  EXPECT_TRUE(control.isDirty()) << "works when the value is -1 too";
  control.setValue(5.f);
  EXPECT_EQ(control.getValue(), 1.f);
}

TEST(CControl, ControlClickSetsTheDefaultAsOneGesture) {
  CallLog log;
  TestFrame frame(log);
  auto* knob = new CKnob(CRect(0, 0, 40, 40), &log, 3, nullptr, nullptr);
  knob->setValue(0.9f);
  knob->setDefaultValue(0.25f);
  frame->addView(knob);
  EXPECT_EQ(frame.down(20, 20, kLButton | kControl),
            kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(log.calls, (Calls{"begin 3", "changed 3 0.25", "end 3"}));
  log.clear();
  frame.down(20, 20, kLButton | kControl);
  EXPECT_EQ(log.calls, (Calls{"begin 3", "end 3"})) << "already at the default: no change reported";
}

TEST(CControl, ClosingTheWindowMidGestureStillEndsTheEdit) {
  CallLog log;
  auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, &log);
  auto* knob = new CKnob(CRect(0, 0, 40, 40), &log, 4, nullptr, nullptr);
  frame->addView(knob);
  CPoint p(20, 20);
  frame->onMouseDown(p, CButtonState(kLButton));
  frame->close();
  EXPECT_EQ(log.calls, (Calls{"begin 4", "end 4"}));
}
