#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace {

// Counts its draws and logs mouse traffic.
class ProbeView : public CView {
 public:
  ProbeView(const CRect& r, std::vector<std::string>* log, const char* name)
      : CView(r), log(log), name(name) {}
  void draw(CDrawContext* context) override {
    ++draws;
    context->setFillColor(kRedCColor);
    context->drawRect(size, kDrawFilled);
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override {
    log->push_back(name + " down");
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override {
    log->push_back(name + " up");
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
    log->push_back(name + " moved" + (b & kLButton ? " L" : ""));
    (void)p;
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(CPoint&, const CButtonState&) override {
    log->push_back(name + " entered");
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint&, const CButtonState&) override {
    log->push_back(name + " exited");
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint&, const float&, const CButtonState&) override {
    log->push_back(name + " wheel");
    return true;
  }
  int draws = 0;

 private:
  std::vector<std::string>* log;
  std::string name;
};

}  // namespace

TEST(CFrame, IdleRedrawsDirtyViewsAndOnlyThem) {
  CallLog log;
  TestFrame frame(log);
  Calls events;
  auto* a = new ProbeView(CRect(0, 0, 10, 10), &events, "a");
  auto* b = new ProbeView(CRect(100, 100, 120, 110), &events, "b");
  frame->addView(a);
  frame->addView(b);
  frame->idle();
  EXPECT_EQ(a->draws, 1);
  EXPECT_EQ(b->draws, 1);

  b->setDirty(true);  // as a parameter change from any thread would
  EXPECT_TRUE(frame->getInvalidRects().empty()) << "setDirty only sets a flag";
  frame->idle();
  EXPECT_EQ(a->draws, 1);
  EXPECT_EQ(b->draws, 2);
  EXPECT_EQ(frame->getLastRenderedRects(), (std::vector<CRect>{CRect(100, 100, 120, 110)}));
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 105, 105), 0xff0000u);

  frame->idle();
  EXPECT_EQ(b->draws, 2) << "clean views are not drawn again";
  EXPECT_TRUE(frame->getLastRenderedRects().empty());

  frame->setDirty(true);
  frame->idle();
  EXPECT_EQ(a->draws, 2) << "a dirty frame redraws everything";
  EXPECT_EQ(b->draws, 3);
}

TEST(CFrame, TopmostViewGetsTheClickAndMovesUntilRelease) {
  CallLog log;
  TestFrame frame(log);
  Calls events;
  frame->addView(new ProbeView(CRect(0, 0, 50, 50), &events, "below"));
  frame->addView(new ProbeView(CRect(20, 20, 70, 70), &events, "above"));
  frame.down(30, 30);
  EXPECT_EQ(frame->getCurrentMouseButtons(), CButtonState(kLButton));
  frame.move(200, 200);  // far outside, still to the pressed view
  frame.up(200, 200);
  EXPECT_EQ(frame->getCurrentMouseButtons() & kLButton, 0);
  EXPECT_EQ(events, (Calls{"above down", "above moved L", "above up"}));
}

TEST(CFrame, HoverEntersAndExitsButNotDuringADrag) {
  CallLog log;
  TestFrame frame(log);
  Calls events;
  frame->addView(new ProbeView(CRect(0, 0, 10, 10), &events, "a"));
  frame->addView(new ProbeView(CRect(20, 0, 30, 10), &events, "b"));
  frame.move(5, 5, 0);
  frame.move(25, 5, 0);
  frame.down(25, 5);
  frame.move(5, 5);  // dragging: no hover change
  frame.up(5, 5);    // released over a: hover catches up
  CPoint outside(-1, -1);
  frame->onMouseExited(outside, CButtonState());
  EXPECT_EQ(events, (Calls{"a entered", "a moved", "a exited", "b entered", "b moved", "b down",
                           "b moved L", "b up", "b exited", "a entered", "a exited"}));
}

TEST(CFrame, ModalViewSwallowsEverythingOutsideIt) {
  CallLog log;
  TestFrame frame(log);
  Calls events;
  frame->addView(new ProbeView(CRect(0, 0, 100, 100), &events, "control"));
  auto* modal = new ProbeView(CRect(200, 0, 300, 100), &events, "modal");
  ASSERT_TRUE(frame->setModalView(modal));
  auto* second = new ProbeView(CRect(0, 0, 1, 1), &events, "second");
  EXPECT_FALSE(frame->setModalView(second)) << "only one modal view at a time";
  second->forget();
  EXPECT_EQ(frame.down(50, 50), kMouseEventHandled);
  frame.up(50, 50);
  EXPECT_FALSE(frame.wheel(50, 50, 1.f));
  frame.down(250, 50);
  frame.up(250, 50);
  EXPECT_EQ(events, (Calls{"modal down", "modal up", "modal entered"}));
  EXPECT_TRUE(frame->setModalView(nullptr));
  events.clear();
  frame.down(50, 50);
  EXPECT_EQ(events, (Calls{"control down"}));
  modal->forget();
}
