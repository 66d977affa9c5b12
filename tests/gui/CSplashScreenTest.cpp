#include "GuiTestSupport.h"

#include "gui/CKickButton.h"
#include "gui/CSplashScreen.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

TEST(CSplashScreen, OpensThePictureModallyAndClosesOnLeftClick) {
  CallLog log;
  TestFrame frame(log);
  CBitmap* picture = makeStrip(100, 60, 1);
  auto* splash =
      new CSplashScreen(CRect(323, 210, 458, 227), &log, 65, picture, CRect(0, 0, 100, 60));
  auto* kick = new CKickButton(CRect(10, 10, 30, 20), &log, 5, nullptr);
  frame->addView(kick);
  frame->addView(splash);

  EXPECT_EQ(frame.down(330, 215, kRButton), kMouseEventNotHandled)
      << "only the left button hits it";
  frame.down(330, 215);
  ASSERT_EQ(frame->getModalView(), splash->getSplashView());
  EXPECT_EQ(splash->getValue(), 1.f);
  frame->idle();
  EXPECT_EQ(countDifferences(frame->getBackBuffer(), CRect(0, 0, 100, 60), picture, CPoint(0, 0)),
            0);

  frame.down(15, 15, kRButton);  // on the picture, right button: stays open
  frame.down(200, 200);          // outside the picture, on nothing: swallowed
  EXPECT_NE(frame->getModalView(), nullptr);
  frame.down(15, 15);  // left click on the picture
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_EQ(splash->getValue(), 0.f);
  EXPECT_EQ(log.calls, (Calls{"changed 65 1", "changed 65 0"}))
      << "the kick button beneath saw nothing";

  frame.down(15, 15);
  frame.up(15, 15);
  EXPECT_EQ(log.calls.back(), "end 5") << "controls work again";
  frame.down(330, 215);  // and it opens again: the picture view survived closing
  EXPECT_EQ(frame->getModalView(), splash->getSplashView());
  picture->forget();
}
