#include "tests/gui/GuiTestSupport.h"

#include "editor/CLED.h"
#include "editor/CZALOnOffButton.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(CZALOnOffButton, ClicksFlipAroundOneHalfAndAreOneGestureEach) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(30, 20, 2);
  auto* button = new CZALOnOffButton(CRect(663, 22, 693, 42), &log, 0, strip, 0);
  frame->addView(button);
  const struct {
    float before;
    int image;
    float after;
  } table[] = {
      {0.4f, 0, 1.f},
      {0.5f, 1, 0.f},
      {0.f, 0, 1.f},
      {1.f, 1, 0.f},
  };
  for (const auto& row : table) {
    button->setValue(row.before);
    auto surface = renderView(button);
    EXPECT_EQ(
        countDifferences(surface.get(), button->getViewSize(), strip, CPoint(0, row.image * 20)), 0)
        << row.before;
    log.clear();
    EXPECT_EQ(frame.down(670, 30), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(button->getValue(), row.after);
    EXPECT_EQ(log.calls, (Calls{"begin 0", "changed 0 " + CallLog::num(row.after), "end 0"}));
  }
  log.clear();
  EXPECT_EQ(frame.down(670, 30, kRButton), kMouseEventNotHandled);
  EXPECT_TRUE(log.calls.empty());
  strip->forget();
}

TEST(CLED, ShowsOffHeldOrOnAndAClickClearsIt) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(12, 10, 3);
  auto* led = new CLED(CRect(712, 57, 724, 67), &log, 68, strip);
  frame->addView(led);
  EXPECT_EQ(led->getValue(), 0.f);
  const struct {
    float value;
    int image;
    bool hold;
  } table[] = {
      {0.f, 0, false}, {1e-9f, 0, false},   {0.4999f, 0, false}, {-1.f, 0, false},
      {0.5f, 1, true}, {0.5001f, 2, false}, {1.f, 2, false},     {3.f, 2, false},
  };
  for (const auto& row : table) {
    led->setValue(row.value);
    EXPECT_EQ(led->getValue(), row.value) << "no clamping";
    EXPECT_EQ(led->getHold(), row.hold);
    auto surface = renderView(led);
    EXPECT_EQ(countDifferences(surface.get(), led->getViewSize(), strip, CPoint(0, row.image * 10)),
              0)
        << row.value;
  }
  led->setValue(1.f);
  EXPECT_EQ(frame.down(715, 60, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(led->getValue(), 1.f) << "a right click leaves it lit";
  EXPECT_EQ(frame.down(715, 60), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(led->getValue(), 0.f);
  EXPECT_EQ(log.calls, (Calls{"changed 68 0"}));
  strip->forget();
}

TEST(CLED, AChangedValueIsRedrawnAtIdle) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* strip = makeStrip(12, 10, 3);
  auto* led = new CLED(CRect(712, 57, 724, 67), &log, 68, strip);
  led->setValue(1e-9f);
  frame->addView(led);
  frame->idle();
  led->setValue(0.5f);  // from the editor's idle, as the clip hold comes in
  frame->idle();
  EXPECT_EQ(frame->getLastRenderedRects(), (std::vector<CRect>{led->getViewSize()}));
  EXPECT_EQ(countDifferences(frame->getBackBuffer(), led->getViewSize(), strip, CPoint(0, 10)), 0);
  frame->idle();
  EXPECT_TRUE(frame->getLastRenderedRects().empty());
  strip->forget();
}
