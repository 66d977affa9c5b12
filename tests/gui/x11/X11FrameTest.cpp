// The editor window on a real X server: Xvfb on a private display, a test host window with a
// frame inside it, driven with xdotool. Skipped when Xvfb or xdotool is not installed.
#include "tests/support/OpenDescriptors.h"
#include "../GuiTestSupport.h"
#include "tests/support/XvfbServer.h"

#include "gui/CAnimKnob.h"
#include "gui/CKnob.h"
#include "gui/COnOffButton.h"
#include "gui/CTextEdit.h"
#include "gui/x11/X11Frame.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

XvfbServer* gXvfb = nullptr;

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

class X11FrameTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    gXvfb = new XvfbServer;
    if (gXvfb->running()) setenv("DISPLAY", gXvfb->display().c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete gXvfb;
    gXvfb = nullptr;
  }

 protected:
  void SetUp() override {
    if (!gXvfb->running()) GTEST_SKIP() << XvfbServer::skipReason();
    host = xcb_connect(gXvfb->display().c_str(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(host));
    hostWindow = createHostWindow();
  }
  void TearDown() override {
    if (host) {
      xcb_destroy_window(host, hostWindow);
      xcb_disconnect(host);
    }
  }

  xcb_window_t createHostWindow(uint16_t width = 800, uint16_t height = 300) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(host)).data;
    const xcb_window_t w = xcb_generate_id(host);
    const uint32_t values[] = {screen->black_pixel};
    xcb_create_window(host, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                      values);
    xcb_map_window(host, w);
    sync();
    return w;
  }
  void sync() { free(xcb_get_input_focus_reply(host, xcb_get_input_focus(host), nullptr)); }

  // Runs editor idles until the condition holds (or a second has passed).
  bool idleUntil(CFrame* frame, const std::function<bool()>& done) {
    for (int i = 0; i < 100; ++i) {
      frame->idle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // A press or release (of button 1 unless told), motion or entry as the server would send it
  // to the window; the events share the layout up to the state.
  void sendPointerEvent(xcb_window_t window, uint8_t type, int16_t x, int16_t y, uint16_t state,
                        uint8_t button = 1) {
    xcb_button_press_event_t e{};
    e.response_type = type;
    e.detail = type == XCB_BUTTON_PRESS || type == XCB_BUTTON_RELEASE ? button : 0;
    e.event = window;
    e.event_x = x;
    e.event_y = y;
    e.state = state;
    e.same_screen = 1;
    xcb_send_event(host, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
  }

  xcb_connection_t* host = nullptr;
  xcb_window_t hostWindow = 0;
};

}  // namespace

TEST_F(X11FrameTest, ClicksDragsTypingAndTheScreenMatchesTheBackBuffer) {
  CallLog log;
  log.knobMode = kLinearMode;
  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &log);
  ASSERT_TRUE(frame->hasPlatformWindow());
  CBitmap* buttonStrip = makeStrip(40, 20, 2);
  CBitmap* knobStrip = makeStrip(50, 50, 11);
  auto* button = new COnOffButton(CRect(20, 10, 60, 30), &log, 8, buttonStrip);
  auto* knob = new CAnimKnob(CRect(300, 100, 350, 150), &log, 6, 11, 50, knobStrip);
  knob->setValue(0.5f);
  auto* edit = new CTextEdit(CRect(175, 232, 292, 246), &log, 96, "Preset 1");
  edit->setFont(kNormalFontSmall);
  frame->addView(button);
  frame->addView(knob);
  frame->addView(edit);
  const auto window = dynamic_cast<X11Frame*>(frame->getPlatformFrame())->getWindow();
  idleUntil(frame, [] { return false; });  // mapped, exposed, drawn

  ASSERT_TRUE(run("xdotool mousemove 30 15 click 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return button->getValue() == 1.f; }));

  log.clear();
  ASSERT_TRUE(
      run("xdotool mousemove 325 140 mousedown 1 mousemove 325 115 mousemove 325 90 mouseup 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return !log.calls.empty() && log.calls.back() == "end 6"; }));
  EXPECT_NEAR(knob->getValue(), 0.75f, 1e-6) << "50 px up at 200 px per range";
  ASSERT_GE(log.calls.size(), 3u);
  EXPECT_EQ(log.calls.front(), "begin 6");
  EXPECT_EQ(log.calls[log.calls.size() - 2], "changed 6 0.75");

  log.clear();
  ASSERT_TRUE(run("xdotool mousemove 200 239 click 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return frame->getFocusView() == edit; }));
  ASSERT_TRUE(run("xdotool key BackSpace type Xy"));
  ASSERT_TRUE(run("xdotool key Return"));
  EXPECT_TRUE(idleUntil(frame, [&] { return frame->getFocusView() == nullptr; }));
  EXPECT_STREQ(edit->getText(), "Preset Xy");
  EXPECT_EQ(log.calls, (std::vector<std::string>{"begin 96", "changed 96 0", "end 96"}));

  // Screenshot of the window against the back buffer.
  idleUntil(frame, [] { return false; });
  auto* image = xcb_get_image_reply(
      host, xcb_get_image(host, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, 778, 248, ~0u), nullptr);
  ASSERT_NE(image, nullptr);
  const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
  int differences = 0;
  for (int y = 0; y < 248; ++y)
    for (int x = 0; x < 778; ++x)
      differences += (pixels[y * 778 + x] & 0xffffff) != pixelAt(frame->getBackBuffer(), x, y);
  free(image);
  EXPECT_EQ(differences, 0);
  EXPECT_EQ(
      countDifferences(frame->getBackBuffer(), knob->getViewSize(), knobStrip, CPoint(0, 7 * 50)),
      0);

  frame->close();
  buttonStrip->forget();
  knobStrip->forget();
}

namespace {
// Records what the window translated each press, move and wheel turn into.
class ButtonProbe : public CView {
 public:
  explicit ButtonProbe(const CRect& r) : CView(r) {}
  CMouseEventResult onMouseDown(CPoint&, const CButtonState& b) override {
    presses.push_back(b);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
    moves.emplace_back(static_cast<int>(p.x), (b & kShift) != 0);
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint&, const float& distance, const CButtonState&) override {
    wheel += distance;
    return true;
  }
  std::vector<int64_t> presses;
  std::vector<std::pair<int, bool>> moves;  // with their Shift state
  float wheel = 0;
};
}  // namespace

TEST_F(X11FrameTest, DoubleClicksWheelAndModifiersAreTranslated) {
  CallLog log;
  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &log);
  auto* probe = new ButtonProbe(CRect(0, 0, 200, 200));
  frame->addView(probe);
  idleUntil(frame, [] { return false; });
  ASSERT_TRUE(run("xdotool mousemove 50 50 click --repeat 2 --delay 60 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return probe->presses.size() == 2; }));
  ASSERT_EQ(probe->presses.size(), 2u);
  EXPECT_EQ(probe->presses[0], kLButton);
  EXPECT_EQ(probe->presses[1], kLButton | kDoubleClick);
  ASSERT_TRUE(run("xdotool sleep 0.3 keydown shift click 3 keyup shift"));
  EXPECT_TRUE(idleUntil(frame, [&] { return probe->presses.size() == 3; }));
  ASSERT_EQ(probe->presses.size(), 3u);
  EXPECT_EQ(probe->presses[2], kRButton | kShift) << "a late second click is no double click";
  ASSERT_TRUE(run("xdotool click 4 click 4 click 5"));
  EXPECT_TRUE(idleUntil(frame, [&] { return probe->wheel == 1.f; }));
  frame->close();
}

TEST_F(X11FrameTest, MovesBeforeAModifierChangeAreNotMergedIntoTheMovesAfterIt) {
  CallLog log;
  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &log);
  auto* probe = new ButtonProbe(CRect(0, 0, 400, 200));
  frame->addView(probe);
  idleUntil(frame, [] { return false; });
  const auto window = dynamic_cast<X11Frame*>(frame->getPlatformFrame())->getWindow();
  // A press and four moves, Shift pressed between the second and the third, all queued
  // before one idle drains them.
  auto send = [&](uint8_t type, int16_t x, uint16_t state) {
    sendPointerEvent(window, type, x, 50, state);
  };
  constexpr uint16_t button1 = XCB_BUTTON_MASK_1, shift = XCB_MOD_MASK_SHIFT;
  probe->moves.clear();  // hovering before the press
  send(XCB_BUTTON_PRESS, 50, 0);
  send(XCB_MOTION_NOTIFY, 60, button1);
  send(XCB_MOTION_NOTIFY, 70, button1);
  send(XCB_MOTION_NOTIFY, 80, button1 | shift);
  send(XCB_MOTION_NOTIFY, 90, button1 | shift);
  sync();
  frame->idle();
  EXPECT_EQ(probe->moves, (std::vector<std::pair<int, bool>>{{70, false}, {90, true}}));
  frame->close();
}

TEST_F(X11FrameTest, APressWhoseReleaseNeverCameStillEndsItsGesture) {
  CallLog log;
  log.knobMode = kLinearMode;
  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &log);
  frame->addView(new CKnob(CRect(0, 0, 40, 40), &log, 5, nullptr, nullptr));
  idleUntil(frame, [] { return false; });
  const auto window = dynamic_cast<X11Frame*>(frame->getPlatformFrame())->getWindow();
  log.clear();
  // Pressed, then the pointer moves with no button held: the release was lost on the way.
  sendPointerEvent(window, XCB_BUTTON_PRESS, 20, 20, 0);
  sendPointerEvent(window, XCB_MOTION_NOTIFY, 20, 10, 0);
  sync();
  frame->idle();
  EXPECT_EQ(log.calls, (std::vector<std::string>{"begin 5", "end 5"}));
  frame->close();
}

TEST_F(X11FrameTest, HoveringLeavesKeysToTheHostUntilTextIsEdited) {
  // The host listens to keys on its window and holds the keyboard focus.
  const uint32_t mask = XCB_EVENT_MASK_KEY_PRESS;
  xcb_change_window_attributes(host, hostWindow, XCB_CW_EVENT_MASK, &mask);
  xcb_set_input_focus(host, XCB_INPUT_FOCUS_POINTER_ROOT, hostWindow, XCB_CURRENT_TIME);
  sync();
  auto hostKeys = [&] {
    int n = 0;
    while (xcb_generic_event_t* e = xcb_poll_for_event(host)) {
      n += (e->response_type & 0x7f) == XCB_KEY_PRESS;
      free(e);
    }
    return n;
  };

  CallLog log;
  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &log);
  auto* edit = new CTextEdit(CRect(175, 232, 292, 246), &log, 96, "Name");
  frame->addView(edit);
  idleUntil(frame, [] { return false; });
  hostKeys();

  ASSERT_TRUE(run("xdotool mousemove 100 100 key a key b"));
  idleUntil(frame, [] { return false; });
  sync();
  EXPECT_EQ(hostKeys(), 2) << "keys typed while hovering reach the host";

  ASSERT_TRUE(run("xdotool mousemove 200 239 click 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return frame->getFocusView() == edit; }));
  ASSERT_TRUE(run("xdotool key c key Return"));
  EXPECT_TRUE(idleUntil(frame, [&] { return frame->getFocusView() == nullptr; }));
  EXPECT_STREQ(edit->getText(), "Namec");
  sync();
  EXPECT_EQ(hostKeys(), 0) << "while editing, the keys are the field's";

  ASSERT_TRUE(run("xdotool mousemove 100 100 key d"));
  idleUntil(frame, [] { return false; });
  sync();
  EXPECT_EQ(hostKeys(), 1) << "after the edit the host has its keys back";
  frame->close();
}

TEST_F(X11FrameTest, AClickThatClosesTheWindowIsSurvived) {
  struct Closer : CallLog {
    CFrame* frame = nullptr;
    void valueChanged(CControl* c) override {
      CallLog::valueChanged(c);
      if (frame) std::exchange(frame, nullptr)->close();
    }
  } closer;
  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &closer);
  closer.frame = frame;
  frame->addView(new COnOffButton(CRect(0, 0, 100, 100), &closer, 1, nullptr));
  frame->remember();  // keep it inspectable after it closed itself
  idleUntil(frame, [] { return false; });
  ASSERT_TRUE(run("xdotool mousemove 50 50 click 1 mousemove 60 60 click 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return closer.frame == nullptr; }));
  frame->idle();
  EXPECT_FALSE(frame->hasPlatformWindow());
  EXPECT_EQ(frame->getNbViews(), 0);
  frame->forget();
}

TEST_F(X11FrameTest, FiftyOpenCloseCyclesKeepTheDescriptorCount) {
  CallLog log;
  auto cycle = [&] {
    auto* frame =
        new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &log);
    EXPECT_TRUE(frame->hasPlatformWindow());
    frame->addView(new COnOffButton(CRect(0, 0, 10, 10), &log, 1, nullptr));
    frame->idle();
    frame->close();
  };
  cycle();
  const int before = countOpenDescriptors();
  for (int i = 0; i < 50; ++i) cycle();
  EXPECT_EQ(countOpenDescriptors(), before);
}

TEST_F(X11FrameTest, BadParentFailsCleanlyAndADestroyedParentIsSurvived) {
  CallLog log;
  const int before = countOpenDescriptors();
  for (int i = 0; i < 5; ++i) {
    auto* orphan =
        new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{0x3fffff0}), &log);
    EXPECT_FALSE(orphan->hasPlatformWindow());
    orphan->idle();
    orphan->close();
  }
  EXPECT_EQ(countOpenDescriptors(), before) << "a failed open leaves no connection behind";

  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{hostWindow}), &log);
  ASSERT_TRUE(frame->hasPlatformWindow());
  frame->idle();
  xcb_destroy_window(host, hostWindow);  // the host tears its window down first
  sync();
  hostWindow = createHostWindow();
  frame->setDirty(true);
  frame->idle();
  frame->idle();
  frame->close();
  SUCCEED() << "still running";
}

namespace {
// Records where the window put each pointer event, in the frame's coordinates.
class PointProbe : public CView {
 public:
  using CView::CView;
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override {
    return note("down", p, b);
  }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override {
    return note("up", p, b);
  }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
    return note("moved", p, b);
  }
  CMouseEventResult onMouseEntered(CPoint& p, const CButtonState& b) override {
    return note("entered", p, b);
  }
  bool onWheel(const CPoint& p, const float&, const CButtonState& b) override {
    CPoint where(p);
    note("wheel", where, b);
    return true;
  }
  CMouseEventResult note(const char* what, const CPoint& p, const CButtonState& b) {
    char line[64];
    std::snprintf(line, sizeof line, "%s %g %g%s", what, p.x, p.y,
                  (b & kDoubleClick) ? " double" : "");
    events.emplace_back(line);
    return kMouseEventHandled;
  }
  std::vector<std::string> events;
};
}  // namespace

TEST_F(X11FrameTest, AtAScaleFactorTheWindowIsLargerAndThePointerIsInLayoutPixels) {
  ASSERT_TRUE(run("xdotool mousemove 1590 1190"));  // the real pointer stays out of the way
  const xcb_window_t largeHost = createHostWindow(1600, 500);
  CallLog log;
  auto* frame =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{largeHost}), &log, 1.5);
  auto* probe = new PointProbe(CRect(0, 0, 778, 248));
  frame->addView(probe);
  const auto window = dynamic_cast<X11Frame*>(frame->getPlatformFrame())->getWindow();
  auto windowSize = [&] {
    auto* geometry = xcb_get_geometry_reply(host, xcb_get_geometry(host, window), nullptr);
    const std::pair<int, int> size{geometry ? geometry->width : 0, geometry ? geometry->height : 0};
    free(geometry);
    return size;
  };
  EXPECT_EQ(windowSize(), std::make_pair(1167, 372));
  frame->setScaleFactor(2);
  sync();
  EXPECT_EQ(windowSize(), std::make_pair(1556, 496)) << "the open window follows";

  probe->events.clear();
  constexpr uint16_t button1 = XCB_BUTTON_MASK_1;
  sendPointerEvent(window, XCB_ENTER_NOTIFY, 11, 21, 0);
  sendPointerEvent(window, XCB_BUTTON_PRESS, 415, 223, 0);
  sendPointerEvent(window, XCB_MOTION_NOTIFY, 431, 200, button1);
  sendPointerEvent(window, XCB_BUTTON_RELEASE, 432, 200, button1);
  sendPointerEvent(window, XCB_BUTTON_PRESS, 100, 61, 0, 4);
  // Double clicks are told by 5 layout pixels: 8 device pixels apart is one, 12 is not.
  sendPointerEvent(window, XCB_BUTTON_PRESS, 600, 100, 0);
  sendPointerEvent(window, XCB_BUTTON_PRESS, 608, 100, 0);
  sendPointerEvent(window, XCB_BUTTON_PRESS, 800, 100, 0);
  sendPointerEvent(window, XCB_BUTTON_PRESS, 812, 100, 0);
  sync();
  frame->idle();
  const std::vector<std::string> expected{
      "entered 5.5 10.5", "moved 5.5 10.5", "down 207.5 111.5",   "moved 215.5 100", "up 216 100",
      "wheel 50 30.5",    "down 300 50",    "down 304 50 double", "down 400 50",     "down 406 50"};
  EXPECT_EQ(probe->events, expected);

  idleUntil(frame, [] { return false; });
  auto* image = xcb_get_image_reply(
      host, xcb_get_image(host, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, 1556, 496, ~0u), nullptr);
  ASSERT_NE(image, nullptr);
  const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
  int differences = 0;
  for (int y = 0; y < 496; ++y)
    for (int x = 0; x < 1556; ++x)
      differences += (pixels[y * 1556 + x] & 0xffffff) != pixelAt(frame->getBackBuffer(), x, y);
  free(image);
  EXPECT_EQ(differences, 0);
  frame->close();
  xcb_destroy_window(host, largeHost);
}
