#include "tests/gui/GuiTestSupport.h"

#include "editor/CAbout.h"
#include "editor/CSplashScreenMyView.h"
#include "editor/MyFrame.h"
#include "gui/CKickButton.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace {

struct AboutFixture : ::testing::Test {
  CallLog log;
  MyFrame* frame = new MyFrame(CRect(0, 0, 778, 248), nullptr, &log);
  CBitmap* picture = makeStrip(778, 248, 1);
  CAbout* about =
      new CAbout(CRect(323, 210, 458, 227), &log, 65, picture, CRect(0, 0, 778, 248), CPoint(0, 0));
  CKickButton* beneath = new CKickButton(CRect(10, 10, 30, 20), &log, 5, nullptr);

  void SetUp() override {
    frame->addView(beneath);
    frame->addView(about);
  }
  void TearDown() override {
    frame->close();
    picture->forget();
  }
  void click(double x, double y, int64_t buttons = kLButton) {
    CPoint p(x, y);
    frame->onMouseDown(p, CButtonState(buttons));
    frame->onMouseUp(p, CButtonState(buttons));
  }
  CSplashScreenMyView* shown() const {
    return dynamic_cast<CSplashScreenMyView*>(frame->getModalView());
  }
};

}  // namespace

TEST_F(AboutFixture, OpensOnTheHotSpotAndClosesOnALeftClick) {
  click(330, 215);
  ASSERT_NE(shown(), nullptr);
  EXPECT_EQ(about->getValue(), 1.f);
  EXPECT_EQ(shown()->getViewSize(), CRect(0, 0, 778, 248));
  click(20, 15, kRButton);  // right click on the picture: stays open, nothing beneath reached
  click(20, 15);            // left click: closes
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_EQ(about->getValue(), 0.f);
  EXPECT_TRUE(frame->isDirty()) << "the whole window is redrawn without the picture";
  EXPECT_EQ(log.calls, (Calls{"changed 65 1"}));
  click(20, 15);
  EXPECT_EQ(log.calls.back(), "end 5") << "controls beneath work again";
}

TEST_F(AboutFixture, TheVersionLabelIsCentredInItsBoxOnThePicture) {
  click(330, 215);
  ASSERT_NE(shown(), nullptr);
  EXPECT_EQ(shown()->versionRect(), CRect(441, 53, 473, 63));
  EXPECT_EQ(shown()->versionLabel(), "v.1.8.0");
  frame->idle();
  cairo_surface_t* s = frame->getBackBuffer();
  int left = 1000, right = -1, outside = 0;
  for (int y = 40; y < 80; ++y)
    for (int x = 420; x < 500; ++x)
      if (pixelAt(s, x, y) != pixelAt(picture->getSurface(), x, y)) {
        const bool in = x >= 441 && x < 473 && y >= 53 && y < 63;
        outside += !in;
        if (in) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
      }
  EXPECT_EQ(outside, 0) << "the label stays inside its box";
  ASSERT_GE(right, left);
  EXPECT_LE(std::abs((left - 441) - (472 - right)), 2) << "centred horizontally";
  // Elsewhere the picture is copied unchanged.
  EXPECT_EQ(countDifferences(s, CRect(0, 0, 400, 248), picture, CPoint(0, 0)), 0);
}

TEST_F(AboutFixture, AnotherModalViewKeepsThePictureAwayButTheValueToggles) {
  auto* blocker = new CView(CRect(0, 0, 1, 1));
  ASSERT_TRUE(frame->setModalView(blocker));
  blocker->forget();
  // The hot-spot cannot be clicked through a modal view; call it as the frame would.
  CPoint p(330, 215);
  about->onMouseDown(p, CButtonState(kLButton));
  EXPECT_EQ(about->getValue(), 1.f);
  EXPECT_EQ(frame->getModalView(), blocker);
  EXPECT_TRUE(log.calls.empty()) << "the listener is not told";
  about->onMouseDown(p, CButtonState(kLButton));
  EXPECT_EQ(about->getValue(), 0.f);
  EXPECT_EQ(about->onMouseDown(p, CButtonState(kRButton)), kMouseEventNotHandled);
}
