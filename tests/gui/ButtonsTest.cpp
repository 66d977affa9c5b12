#include "GuiTestSupport.h"

#include "gui/CKickButton.h"
#include "gui/COnOffButton.h"
#include "gui/CRockerSwitch.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(CKickButton, FiresOnReleaseInsideOnly) {
  CallLog log;
  TestFrame frame(log);
  auto* kick = new CKickButton(CRect(10, 10, 30, 20), &log, 5, nullptr);
  frame->addView(kick);

  EXPECT_EQ(frame.down(15, 15), kMouseEventHandled);
  EXPECT_EQ(kick->getValue(), 1.f);
  frame.move(30, 20);  // the far edges still count as inside
  EXPECT_EQ(kick->getValue(), 1.f);
  frame.up(30, 20);
  EXPECT_EQ(log.calls, (Calls{"begin 5", "changed 5 1", "changed 5 0", "end 5"}));

  log.clear();
  frame.down(15, 15);
  frame.move(50, 15);  // dragged off: released outside
  EXPECT_EQ(kick->getValue(), 0.f);
  frame.up(50, 15);
  EXPECT_EQ(log.calls, (Calls{"begin 5", "changed 5 0", "end 5"}));

  log.clear();
  EXPECT_EQ(frame.down(15, 15, kRButton), kMouseEventNotHandled);
  EXPECT_TRUE(log.calls.empty());
}

TEST(COnOffButton, TogglesAsOneGesture) {
  CallLog log;
  TestFrame frame(log);
  auto* button = new COnOffButton(CRect(0, 0, 20, 10), &log, 8, nullptr);
  frame->addView(button);
  EXPECT_EQ(frame.down(5, 5), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(button->getValue(), 1.f);
  frame.down(5, 5);
  EXPECT_EQ(log.calls,
            (Calls{"begin 8", "changed 8 1", "end 8", "begin 8", "changed 8 0", "end 8"}));
}

TEST(CRockerSwitch, HalvesChooseMinOrMaxAndReleaseReturnsToMiddle) {
  CallLog log;
  TestFrame frame(log);
  auto* rocker = new CRockerSwitch(CRect(100, 0, 140, 10), &log, 6, 10, nullptr);
  frame->addView(rocker);
  EXPECT_EQ(rocker->getValue(), 0.f);

  frame.down(105, 5);
  EXPECT_EQ(rocker->getValue(), -1.f);
  frame.move(135, 5);
  EXPECT_EQ(rocker->getValue(), 1.f);
  frame.move(135, 50);  // outside: back to the value at the press
  EXPECT_EQ(rocker->getValue(), 0.f);
  frame.up(135, 50);
  EXPECT_EQ(log.calls, (Calls{"begin 6", "changed 6 -1", "changed 6 1", "changed 6 0", "end 6"}));

  log.clear();
  frame.down(135, 5);
  frame.up(135, 5);
  EXPECT_EQ(rocker->getValue(), 0.f);
  EXPECT_EQ(log.calls, (Calls{"begin 6", "changed 6 1", "end 6"}))
      << "no change reported on release";
}
