#include "tests/gui/GuiTestSupport.h"

#include "editor/CAnimCoaxKnob.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace {

// The LF band knob's geometry: a 40 x 40 image at (174, 76), grown by the 20 px margin.
struct CoaxFixture : ::testing::Test {
  CallLog log;
  TestFrame frame{log};
  CBitmap* centre = makeStrip(40, 40, 41);
  CBitmap* ring = makeStrip(40, 40, 11);
  CAnimCoaxKnob* knob = nullptr;
  const CPoint c{194, 96};

  void SetUp() override {
    log.knobMode = kLinearMode;
    knob = new CAnimCoaxKnob(CRect(154, 56, 234, 136), &log, 41, 41, 40, centre, CPoint(0, 0), 20);
    knob->setValue(0.5f);
    knob->setExtValue(0.5f);
    knob->setDefaultValue(0.5f);
    knob->setDefaultExtValue(0.5f);
    knob->setIntRadius(c, 23);
    knob->setExtBitmap(ring, 11);
    knob->setStep(1.f / 64);
    frame->addView(knob);
  }
  void TearDown() override {
    centre->forget();
    ring->forget();
  }
};

}  // namespace

TEST_F(CoaxFixture, TheImageRectIsTheViewLessTheMarginAndSetValueDoesNotClamp) {
  EXPECT_EQ(knob->getImageRect(), CRect(174, 76, 214, 116));
  CAnimCoaxKnob fresh(CRect(0, 0, 80, 80), nullptr, 1, 41, 40, nullptr, CPoint(0, 0), 20);
  fresh.setValue(7.f);
  EXPECT_EQ(fresh.getValue(), 7.f) << "setValue does not clamp";
  EXPECT_TRUE(fresh.isDirty());
}

TEST_F(CoaxFixture, ExactlyIntRadiusFromTheCentreEditsTheCentre) {
  frame.down(c.x + 23, c.y);
  EXPECT_FALSE(knob->isExtActive());
  frame.up(c.x + 23, c.y);
  frame.down(c.x + 24, c.y);
  EXPECT_TRUE(knob->isExtActive());
  frame.up(c.x + 24, c.y);
}

TEST_F(CoaxFixture, CentreDragStepsAndShiftHalvesWithoutAJump) {
  frame.down(c.x, c.y);
  frame.move(c.x, c.y - 10);  // 10 steps of 1/256
  EXPECT_NEAR(knob->getValue(), 0.5f + 10.f / 256, 1e-6);
  frame.move(c.x + 1, c.y - 10);  // half a step: no change yet
  EXPECT_NEAR(knob->getValue(), 0.5f + 10.f / 256, 1e-6);
  frame.move(c.x + 1, c.y - 10, kLButton | kShift);  // Shift pressed in place
  EXPECT_NEAR(knob->getValue(), 0.5f + 10.f / 256, 1e-6);
  frame.move(c.x + 1, c.y - 20, kLButton | kShift);  // 10 steps at half the rate
  EXPECT_NEAR(knob->getValue(), 0.5f + 15.f / 256, 1e-6);
  frame.up(c.x + 1, c.y - 20);
  EXPECT_EQ(log.calls.front(), "begin 41");
  EXPECT_EQ(log.calls.back(), "end 41");
  EXPECT_EQ(knob->getExtValue(), 0.5f) << "the ring is untouched";
}

TEST_F(CoaxFixture, RingDragIsTwiceAsFastAndAModifierChangeMakesStepsOfATenth) {
  const CPoint onRing(c.x + 30, c.y);
  frame.down(onRing.x, onRing.y);
  ASSERT_TRUE(knob->isExtActive());
  frame.move(onRing.x, onRing.y - 10);
  EXPECT_NEAR(knob->getExtValue(), 0.5f + 20.f / 256, 1e-6);
  EXPECT_EQ(knob->getValue(), 0.5f);
  frame.move(onRing.x, onRing.y - 10, kLButton | kShift);
  EXPECT_NEAR(knob->getExtValue(), 0.5f + 20.f / 256, 1e-6) << "no jump";
  frame.move(onRing.x, onRing.y - 12, kLButton | kShift);
  EXPECT_NEAR(knob->getExtValue(), 0.5f + 20.f / 256 + 0.2f, 1e-5);
  frame.up(onRing.x, onRing.y - 12);
  EXPECT_EQ(log.calls[1], "changed 41 0.5") << "the listener reads the ring through getExtValue";
}

TEST_F(CoaxFixture, DoubleClickOnTheRingResetsTheCentre) {
  knob->setValue(0.9f);
  knob->setExtValue(0.1f);
  knob->setDirty(false);
  frame.down(c.x + 30, c.y, kLButton | kDoubleClick);
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(knob->getExtValue(), 0.1f);
  EXPECT_FALSE(knob->isExtActive());
  EXPECT_EQ(log.calls, (Calls{"begin 41", "changed 41 0.5", "end 41"}));
}

TEST_F(CoaxFixture, WheelOverTheRingChangesOnlyTheRing) {
  frame.down(c.x, c.y);  // the centre was the last part clicked
  frame.up(c.x, c.y);
  log.clear();
  frame.wheel(c.x + 30, c.y, 1.f);
  EXPECT_TRUE(knob->isExtActive());
  EXPECT_NEAR(knob->getExtValue(), 0.5f + 0.026041670f, 1e-6);
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(log.calls.size(), 3u);
  frame.wheel(c.x, c.y, -1.f, kShift);
  EXPECT_FALSE(knob->isExtActive());
  EXPECT_NEAR(knob->getValue(), 0.5f - 0.0026041670f, 1e-6);
  knob->setExtValue(0.99f);
  frame.wheel(c.x + 30, c.y, 1.f);
  EXPECT_EQ(knob->getExtValue(), 1.f) << "clamped";
}

TEST_F(CoaxFixture, AltDragOfTheCentreInLinearModeTurnsByAngleAndPinsAtTheGap) {
  // Inside the radius, lower right: near the maximum of the dial.
  frame.down(154 + 55, 56 + 52, kLButton | kAlt);
  EXPECT_FALSE(knob->isExtActive());
  EXPECT_GT(knob->getValue(), 0.95f);
  frame.move(154 + 25, 56 + 52, kLButton | kAlt);  // across the gap to near the minimum
  EXPECT_EQ(knob->getValue(), 1.f);
  frame.up(154 + 25, 56 + 52);
}

TEST_F(CoaxFixture, DrawsBothStripsIntoTheImageRect) {
  const struct {
    float centre, ring;
    int centreImage, ringImage;
  } table[] = {
      {-0.1f, -0.1f, 0, 0},   {0.5f, 0.5f, 20, 5},    {1.f, 0.04f, 40, 0},
      {0.0125f, 0.05f, 1, 1}, {0.0875f, 0.35f, 4, 4},  // products of exactly n + 0.5 in single
                                                       // precision round up
  };
  for (const auto& row : table) {
    knob->setValue(row.centre);
    knob->setExtValue(row.ring);
    // The ring strip is opaque here and covers the centre: check it, then the centre alone.
    auto both = renderView(knob);
    EXPECT_EQ(
        countDifferences(both.get(), knob->getImageRect(), ring, CPoint(0, row.ringImage * 40)), 0);
    EXPECT_EQ(knob->getOldExtValue(), row.ring);
    knob->setExtBitmap(nullptr, 0);
    auto centreOnly = renderView(knob);
    EXPECT_EQ(countDifferences(centreOnly.get(), knob->getImageRect(), centre,
                               CPoint(0, row.centreImage * 40)),
              0);
    knob->setExtBitmap(ring, 11);
  }
}
