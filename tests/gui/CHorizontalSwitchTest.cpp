#include "GuiTestSupport.h"

#include "gui/CHorizontalSwitch.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(CHorizontalSwitch, PositionFollowsThePointerInBitmapWidthThirds) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(60, 10, 3);
  auto* sw = new CHorizontalSwitch(CRect(100, 0, 160, 10), &log, 1, 3, 10, 3, strip);
  frame->addView(sw);
  const struct {
    double x;
    float expected;
  } table[] = {
      {100, 0.f}, {119.9, 0.f}, {120, 0.5f}, {139.9, 0.5f},
      {140, 1.f}, {159, 1.f},   {200, 1.f},  // beyond the right edge
      {60, 0.f},                             // beyond the left edge
  };
  frame.down(100, 5);
  for (const auto& row : table) {
    frame.move(row.x, 5);
    EXPECT_EQ(sw->getValue(), row.expected) << "x " << row.x;
  }
  frame.up(60, 5);
  EXPECT_EQ(log.calls.front(), "begin 1");
  EXPECT_EQ(log.calls.back(), "end 1");
  strip->forget();
}

TEST(CHorizontalSwitch, ControlClickResetsToTheDefaultAndDrawsRoundedImage) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(60, 10, 3);
  auto* sw = new CHorizontalSwitch(CRect(0, 0, 60, 10), &log, 18, 3, 10, 3, strip);
  sw->setDefaultValue(0.5f);
  sw->setValue(1.f);
  frame->addView(sw);
  EXPECT_EQ(frame.down(5, 5, kLButton | kControl),
            kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(log.calls, (Calls{"begin 18", "changed 18 0.5", "end 18"}));

  const struct {
    float value;
    int image;
  } table[] = {{0.f, 0}, {0.24f, 0}, {0.25f, 1}, {0.74f, 1}, {0.75f, 2}};
  for (const auto& row : table) {
    sw->setValue(row.value);
    auto surface = renderView(sw);
    EXPECT_EQ(countDifferences(surface.get(), sw->getViewSize(), strip, CPoint(0, row.image * 10)),
              0)
        << row.value;
  }
  strip->forget();
}
