#include "GuiTestSupport.h"

#include "gui/CAnimKnob.h"
#include "gui/CKnob.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(CKnob, ValueFromPointFollowsTheDial) {
  // 40 x 40 knob without handle: inset 3, radius 17; 0 lower-left, 0.5 up, 1 lower-right.
  CKnob knob(CRect(0, 0, 40, 40), nullptr, 0, nullptr, nullptr);
  knob.setMin(0.f);
  knob.setMax(1.f);
  const struct {
    double x, y;
    float expected;
  } table[] = {
      {20, 0, 0.5f},      // straight up
      {0, 20, 1.f / 6},   // left: 45 degrees past the start
      {40, 20, 5.f / 6},  // right
      {5, 39, 0.f},       // lower-left beyond the start
      {35, 39, 1.f},      // lower-right beyond the end
  };
  for (const auto& row : table) {
    CPoint p(row.x, row.y);
    EXPECT_NEAR(knob.valueFromPoint(p), row.expected, 1e-4) << row.x << "," << row.y;
  }
  knob.setMin(-1.f);
  knob.setMax(3.f);
  CPoint up(20, 0);
  EXPECT_NEAR(knob.valueFromPoint(up), 1.f, 1e-5) << "min + v * (max - min)";
}

TEST(CKnob, LinearDragUses200PixelsAndShiftRebasesWithoutAJump) {
  CallLog log;
  log.knobMode = kLinearMode;
  TestFrame frame(log);
  auto* knob = new CKnob(CRect(100, 100, 140, 140), &log, 9, nullptr, nullptr);
  knob->setValue(0.2f);
  frame->addView(knob);
  EXPECT_EQ(frame.down(120, 120), kMouseEventHandled);
  EXPECT_EQ(knob->getValue(), 0.2f) << "nothing changes before the first move";
  frame.move(120, 100);  // 20 px up: +0.1
  EXPECT_NEAR(knob->getValue(), 0.3f, 1e-6);
  frame.move(130, 100,
             kLButton | kShift);  // Shift pressed: the rate changes, the value does not jump
  EXPECT_NEAR(knob->getValue(), 0.35f, 1e-6);
  frame.move(160, 100, kLButton | kShift);  // 30 px at the Shift rate (300 px per range)
  EXPECT_NEAR(knob->getValue(), 0.45f, 1e-6);
  frame.move(180, 100);  // Shift released: this move still counts at the rate it was made with
  EXPECT_NEAR(knob->getValue(), 0.45f + 20.f / 300, 1e-6);
  frame.move(200, 100);  // back to 200 px per range
  EXPECT_NEAR(knob->getValue(), 0.55f + 20.f / 300, 1e-6);
  frame.move(130, 400);  // far down: clamps
  EXPECT_EQ(knob->getValue(), 0.f);
  frame.up(130, 400);
  ASSERT_GE(log.calls.size(), 3u);
  EXPECT_EQ(log.calls.front(), "begin 9");
  EXPECT_EQ(log.calls.back(), "end 9");
  EXPECT_EQ(log.calls[1], "changed 9 0.3");
}

TEST(CKnob, AltSwapsTheModeAndCircularJumpsAcrossTheGapPin) {
  CallLog log;
  log.knobMode = kLinearMode;
  TestFrame frame(log);
  auto* knob = new CKnob(CRect(0, 0, 40, 40), &log, 1, nullptr, nullptr);
  frame->addView(knob);
  frame.down(36, 30, kLButton | kAlt);  // circular by Alt: near the maximum (lower right)
  frame.move(35, 30, kLButton | kAlt);
  EXPECT_GT(knob->getValue(), 0.9f);
  frame.move(4, 30, kLButton | kAlt);  // across the gap to near the minimum
  EXPECT_EQ(knob->getValue(), 1.f) << "sticks at the end being approached";
  frame.up(4, 30);
}

TEST(CKnob, WheelStepsByWheelIncrementAsOneGesture) {
  CallLog log;
  TestFrame frame(log);
  auto* knob = new CKnob(CRect(0, 0, 40, 40), &log, 2, nullptr, nullptr);
  knob->setValue(0.5f);
  frame->addView(knob);
  EXPECT_TRUE(frame.wheel(20, 20, 1.f));
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
  EXPECT_TRUE(frame.wheel(20, 20, -1.f, kShift));
  EXPECT_NEAR(knob->getValue(), 0.59f, 1e-6);
  EXPECT_EQ(log.calls,
            (Calls{"begin 2", "changed 2 0.6", "end 2", "begin 2", "changed 2 0.59", "end 2"}));
  EXPECT_FALSE(frame.wheel(200, 200, 1.f)) << "no view there";
}

TEST(CAnimKnob, DrawsTheSubImageOfItsValue) {
  CBitmap* strip = makeStrip(30, 20, 11);
  auto* knob = new CAnimKnob(CRect(10, 5, 40, 25), nullptr, 0, 11, 20, strip);
  const struct {
    float value;
    int image;
  } table[] = {
      {-0.5f, 0}, {0.f, 0}, {0.05f, 0}, {0.1f, 1}, {0.55f, 5}, {0.99f, 9}, {1.f, 10},
  };
  for (const auto& row : table) {
    knob->setValue(row.value);
    auto surface = renderView(knob);
    EXPECT_EQ(
        countDifferences(surface.get(), knob->getViewSize(), strip, CPoint(0, row.image * 20)), 0)
        << "value " << row.value;
  }
  knob->setInverseBitmap(true);
  knob->setValue(0.f);
  auto surface = renderView(knob);
  EXPECT_EQ(countDifferences(surface.get(), knob->getViewSize(), strip, CPoint(0, 200)), 0);
  knob->forget();
  strip->forget();
}
