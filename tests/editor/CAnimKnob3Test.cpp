#include "tests/gui/GuiTestSupport.h"

#include "editor/CAnimKnob3.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace {

struct Knob3Fixture : ::testing::Test {
  CallLog log;
  TestFrame frame{log};
  CBitmap* strip = makeStrip(30, 20, 41);
  CAnimKnob3* knob = nullptr;

  void SetUp() override {
    knob = new CAnimKnob3(CRect(100, 100, 130, 120), &log, 6, 41, 30, 20, strip);
    knob->dragZoom = 0.5;  // the editor's settings
    knob->setShiftZoom(1.0);
    frame->addView(knob);
  }
  void TearDown() override { strip->forget(); }
};

}  // namespace

TEST_F(Knob3Fixture, DragArithmeticWithTheEditorsSettings) {
  knob->setValue(0.2f);
  frame.down(110, 110);
  frame.move(110, -15);  // 125 px up = 250 units of 500
  EXPECT_NEAR(knob->getValue(), 0.7f, 1e-6);
  frame.up(110, -15);

  knob->setValue(0.f);
  frame.down(110, 110);
  frame.move(610, 110);  // 500 px right
  EXPECT_NEAR(knob->getValue(), 1.f, 1e-6);
  frame.move(710, 110);  // on: stays at the end
  EXPECT_EQ(knob->getValue(), 1.f);
  frame.move(650, 110);  // back 60 px, still 40 px beyond
  EXPECT_EQ(knob->getValue(), 1.f) << "the movement is accumulated, not the clamped value";
  frame.move(560, 110);  // retraced past the end by 50 px
  EXPECT_NEAR(knob->getValue(), 0.9f, 1e-6);
  frame.up(560, 110);
}

TEST_F(Knob3Fixture, ShiftMidDragChangesTheRateWithoutAJump) {
  knob->setShiftZoom(5.0);
  knob->setValue(0.5f);
  frame.down(110, 110);
  frame.move(160, 110);  // +50 units: +0.1
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
  frame.move(160, 110, kLButton | kShift);  // Shift pressed in place
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
  frame.move(210, 110, kLButton | kShift);  // +50 units at a fifth of the rate
  EXPECT_NEAR(knob->getValue(), 0.62f, 1e-6);
  frame.move(210, 110);  // released in place
  EXPECT_NEAR(knob->getValue(), 0.62f, 1e-6);
  frame.move(260, 110);
  EXPECT_NEAR(knob->getValue(), 0.72f, 1e-5);
  frame.up(260, 110);
}

TEST_F(Knob3Fixture, GestureOrderResetAndRightButton) {
  knob->setValue(0.5f);
  knob->setDirty(false);
  frame.down(110, 110);
  frame.move(110, 100);
  frame.move(110, 100);  // no movement: no report
  frame.up(110, 100);
  EXPECT_EQ(log.calls, (Calls{"begin 6", "changed 6 0.54", "end 6"}));

  log.clear();
  knob->setDefaultValue(0.25f);
  EXPECT_EQ(frame.down(110, 110, kLButton | kDoubleClick),
            kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(log.calls, (Calls{"begin 6", "changed 6 0.25", "end 6"}));
  log.clear();
  frame.down(110, 110, kLButton | kControl);
  EXPECT_EQ(knob->getValue(), 0.25f);

  log.clear();
  EXPECT_EQ(frame.down(110, 110, kRButton), kMouseEventNotHandled);
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(Knob3Fixture, WheelStepsAreHundredthsOrThousandths) {
  knob->setValue(0.5f);
  knob->setDirty(false);
  frame.wheel(110, 110, 2.f);
  EXPECT_NEAR(knob->getValue(), 0.52f, 1e-6);
  frame.wheel(110, 110, -3.f, kShift);
  EXPECT_NEAR(knob->getValue(), 0.517f, 1e-6);
  knob->setValue(1.f);
  knob->setDirty(false);
  log.clear();
  frame.wheel(110, 110, 1.f);
  EXPECT_TRUE(log.calls.empty()) << "already at the end: nothing to report";
}

TEST_F(Knob3Fixture, DrawsTheRoundedImageAndTheFirstBelowZero) {
  const struct {
    float value;
    int image;
  } table[] = {
      {-0.2f, 0}, {0.f, 0},   {0.0124f, 0}, {0.0126f, 1}, {0.5f, 20},
      {1.f, 40},  {1.5f, 40}, {0.0875f, 4},  // 0.0875f x 40 is 3.5 in single precision (3.4999999
                                             // in double)
  };
  for (const auto& row : table) {
    knob->setValue(row.value);  // values outside 0..1 are clamped on the way in
    auto surface = renderView(knob);
    EXPECT_EQ(
        countDifferences(surface.get(), knob->getViewSize(), strip, CPoint(0, row.image * 20)), 0)
        << row.value;
  }
}

TEST(CAnimKnob3, TheOutputKnobShowsTheUpperPartOfEachOf41Images) {
  // The output knob's view is 1/51 of its strip tall, its images 1/41.
  CBitmap* strip = makeStrip(20, 51, 41);
  CAnimKnob3 knob(CRect(651, 76, 671, 76 + 41), nullptr, 6, 41, 20, 51, strip);
  knob.setValue(0.5f);
  auto surface = renderView(&knob);
  EXPECT_EQ(countDifferences(surface.get(), knob.getViewSize(), strip, CPoint(0, 20 * 51)), 0);
  strip->forget();
}
