#include "tests/gui/GuiTestSupport.h"

#include "presets/CPSKickButton.h"
#include "presets/CPSOnOffButton.h"
#include "presets/CPSRockerSwitch.h"
#include "presets/CSaveLoadButton.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(CPSKickButton, DoubleClickArmingAndControlDoubleClick) {
  CallLog log;
  TestFrame frame(log);
  auto* defaults =
      new CPSKickButton(CRect(32, 234, 69, 244), &log, 109, 10, nullptr, CPoint(0, 0), true);
  auto* plain =
      new CPSKickButton(CRect(374, 232, 386, 246), &log, 113, 14, nullptr, CPoint(0, 0), false);
  frame->addView(defaults);
  frame->addView(plain);
  const struct {
    CPSKickButton* button;
    int64_t buttons;
    const char* expected;
  } table[] = {
      {defaults, kLButton, nullptr},  // single click: ignored
      {defaults, kLButton | kDoubleClick, "changed 109 1"},
      {defaults, kLButton | kDoubleClick | kControl, "changed 109 0.5"},
      {defaults, kRButton | kDoubleClick, nullptr},
      {plain, kLButton, "changed 113 1"},
      {plain, kLButton | kControl, "changed 113 1"},  // Control means nothing without arming
  };
  for (const auto& row : table) {
    log.clear();
    const CPoint at = row.button->getViewSize().getCenter();
    frame.down(at.x, at.y, row.buttons);
    if (row.expected) {
      EXPECT_TRUE(row.button->isPressed());
      EXPECT_EQ(row.button->imageIndex(), 2);
    }
    frame.up(at.x, at.y, row.buttons);
    EXPECT_EQ(row.button->getValue(), 0.f);
    EXPECT_FALSE(row.button->isPressed());
    EXPECT_EQ(log.calls, row.expected ? Calls{row.expected} : Calls{})
        << "no report on release, no edits";
  }
}

TEST(CPSKickButton, HoverImages) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(12, 14, 3);
  auto* button =
      new CPSKickButton(CRect(374, 232, 386, 246), &log, 113, 14, strip, CPoint(0, 0), false);
  frame->addView(button);
  EXPECT_EQ(button->imageIndex(), 0);
  frame.move(380, 240, 0);
  EXPECT_EQ(button->imageIndex(), 1);
  auto surface = renderView(button);
  EXPECT_EQ(countDifferences(surface.get(), button->getViewSize(), strip, CPoint(0, 14)), 0);
  frame.down(380, 240);
  EXPECT_EQ(button->imageIndex(), 2);
  frame.up(380, 240);
  frame.move(100, 100, 0);
  EXPECT_EQ(button->imageIndex(), 0);
  strip->forget();
}

TEST(CSaveLoadButton, RightClickAloneMeansHalf) {
  CallLog log;
  TestFrame frame(log);
  auto* load = new CSaveLoadButton(CRect(70, 232, 82, 246), &log, 98, 14, nullptr, CPoint(0, 0));
  frame->addView(load);
  const struct {
    int64_t buttons;
    CMouseEventResult result;
    const char* expected;
  } table[] = {
      {kRButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, "changed 98 0.5"},
      {kLButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, "changed 98 1"},
      {kLButton | kRButton, kMouseDownEventHandledButDontNeedMovedOrUpEvents, "changed 98 1"},
      {kRButton | kDoubleClick, kMouseDownEventHandledButDontNeedMovedOrUpEvents, "changed 98 1"},
      {kMButton, kMouseEventNotHandled, nullptr},
  };
  for (const auto& row : table) {
    log.clear();
    EXPECT_EQ(frame.down(75, 240, row.buttons), row.result);
    EXPECT_EQ(load->getValue(), 0.f) << "back to 0 straight after the report";
    EXPECT_EQ(log.calls, row.expected ? Calls{row.expected} : Calls{});
  }
  CKeyCode key;
  key.character = 'a';
  EXPECT_EQ(load->onKeyDown(key), -1);
  frame.move(75, 240, 0);
  EXPECT_EQ(load->imageIndex(), 1);
  frame.move(5, 5, 0);
  EXPECT_EQ(load->imageIndex(), 0);
}

TEST(CPSRockerSwitch, SidesHoverAndTheMiddleColumn) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(31, 14, 5);
  auto* rocker = new CPSRockerSwitch(CRect(313, 232, 344, 246), &log, 97, 14, strip, CPoint(0, 0));
  frame->addView(rocker);
  const CCoord middle = 328;  // the centre column of 313..343

  frame.move(315, 240, 0);
  EXPECT_EQ(rocker->imageIndex(), 1);
  frame.move(340, 240, 0);
  EXPECT_EQ(rocker->imageIndex(), 2) << "the hover side follows the pointer";
  frame.move(middle - 1, 240, 0);
  EXPECT_EQ(rocker->getHoverSide(), -1);
  frame.move(middle, 240, 0);
  EXPECT_EQ(rocker->getHoverSide(), 1);

  frame.down(middle, 240);
  EXPECT_EQ(rocker->getValue(), 1.f) << "the middle column counts as the right half";
  EXPECT_EQ(rocker->imageIndex(), 4);
  frame.move(315, 240);  // dragging across does nothing
  EXPECT_EQ(rocker->getValue(), 1.f);
  frame.up(315, 240);
  EXPECT_EQ(rocker->getValue(), 0.f);
  frame.down(middle - 1, 240);
  EXPECT_EQ(rocker->imageIndex(), 3);
  auto surface = renderView(rocker);
  EXPECT_EQ(countDifferences(surface.get(), rocker->getViewSize(), strip, CPoint(0, 3 * 14)), 0);
  frame.up(middle - 1, 240);
  EXPECT_EQ(log.calls, (Calls{"changed 97 1", "changed 97 -1"}))
      << "no report on release, no edits";
  frame.move(100, 100, 0);
  EXPECT_EQ(rocker->getHoverSide(), 0);
  EXPECT_EQ(frame.down(315, 240, kRButton), kMouseEventNotHandled);
  strip->forget();
}

TEST(CPSOnOffButton, TogglesAndShowsHoverImages) {
  CallLog log;
  TestFrame frame(log);
  auto* button = new CPSOnOffButton(CRect(0, 0, 12, 14), &log, 3, nullptr);
  frame->addView(button);
  const struct {
    bool hover;
    float value;
    int image;
  } table[] = {
      {false, 0.f, 0}, {false, 1.f, 2}, {false, 0.5f, 0},
      {true, 0.f, 1},  {true, 1.f, 2},  {true, 0.5f, 0},
  };
  for (const auto& row : table) {
    frame.move(row.hover ? 5 : 100, 5, 0);
    button->setValue(row.value);
    EXPECT_EQ(button->imageIndex(), row.image) << row.hover << " " << row.value;
  }
  button->setValue(0.f);
  log.clear();
  EXPECT_EQ(frame.down(5, 5), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(button->getValue(), 1.f);
  EXPECT_EQ(log.calls, (Calls{"changed 3 1"}));
  EXPECT_EQ(frame.down(5, 5, kRButton), kMouseEventNotHandled);
}
