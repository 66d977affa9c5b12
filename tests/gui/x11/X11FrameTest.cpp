// The editor window on a real X server: Xvfb on a private display, a test host window with a
// frame inside it, driven with xdotool and with events sent as the server would send them.
// Skipped when Xvfb or xdotool is not installed.
#include "tests/support/OpenDescriptors.h"
#include "../GuiTestSupport.h"
#include "tests/support/XvfbServer.h"

#include "gui/CHorizontalSwitch.h"
#include "gui/CKnob.h"
#include "gui/CTextEdit.h"
#include "gui/x11/X11Frame.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

class X11FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static XvfbServer xvfb;  // one for the program, stopped at its end
    if (!xvfb.running()) GTEST_SKIP() << XvfbServer::skipReason();
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    host = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(host));
    screen = xcb_setup_roots_iterator(xcb_get_setup(host)).data;
    // Hosts may give the editor a parent with a 32-bit (ARGB) visual; the window must then be
    // drawn with its parent's visual, not the screen's first. Xvfb offers one (Composite).
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem && d.data->depth == 32 && !argb;
           xcb_visualtype_next(&v))
        if (v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR) argb = v.data->visual_id;
    hostWindow = argb ? createHostWindow(800, 300, argb, 32)
                      : createHostWindow(800, 300, screen->root_visual, 24);
  }
  void TearDown() override {
    if (host) xcb_disconnect(host);  // its windows go with it
  }

  xcb_window_t createHostWindow(uint16_t width, uint16_t height, xcb_visualid_t visual,
                                uint8_t depth) {
    const xcb_colormap_t colormap = xcb_generate_id(host);
    xcb_create_colormap(host, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
    const xcb_window_t w = xcb_generate_id(host);
    const uint32_t values[] = {0, 0, colormap};
    xcb_create_window(host, depth, w, screen->root, 0, 0, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_COLORMAP, values);
    xcb_map_window(host, w);
    sync();
    return w;
  }
  void sync() { free(xcb_get_input_focus_reply(host, xcb_get_input_focus(host), nullptr)); }

  CFrame* openFrame(CallLog& log, double scale = 1, xcb_window_t parent = 0) {
    auto* frame =
        new CFrame(CRect(0, 0, 778, 248),
                   reinterpret_cast<void*>(uintptr_t{parent ? parent : hostWindow}), &log, scale);
    EXPECT_TRUE(frame->hasPlatformWindow());
    return frame;
  }
  static xcb_window_t windowOf(CFrame* frame) {
    return dynamic_cast<X11Frame*>(frame->getPlatformFrame())->getWindow();
  }

  // Runs editor idles until the condition holds (or a second has passed).
  static bool idleUntil(
      CFrame* frame, const std::function<bool()>& done = [] { return false; }) {
    for (int i = 0; i < 100; ++i) {
      frame->idle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // Pixels of the frame's window, read from the server, that differ from `expected(x, y)`
  // (by default what the frame drew into its back buffer).
  int screenDifferences(CFrame* frame, std::function<uint32_t(int, int)> expected = nullptr) {
    if (!expected) expected = [&](int x, int y) { return pixelAt(frame->getBackBuffer(), x, y); };
    const int w = frame->getDeviceWidth(), h = frame->getDeviceHeight();
    auto* image =
        xcb_get_image_reply(host,
                            xcb_get_image(host, XCB_IMAGE_FORMAT_Z_PIXMAP, windowOf(frame), 0, 0,
                                          uint16_t(w), uint16_t(h), ~0u),
                            nullptr);
    if (image == nullptr) return -1;
    const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    int differences = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) differences += (pixels[y * w + x] & 0xffffff) != expected(x, y);
    free(image);
    return differences;
  }

  // A press or release (of `button`), motion or entry as the server would send it.
  void send(xcb_window_t window, uint8_t type, int16_t x, int16_t y, uint16_t state,
            uint8_t button = 1) {
    const uint8_t detail = type == XCB_BUTTON_PRESS || type == XCB_BUTTON_RELEASE ? button : 0;
    // type, detail, sequence, time, root, event, child, root and event position, state, screen
    const xcb_button_press_event_t e{type, detail, 0, 0, 0, window, 0, 0, 0, x, y, state, 1, 0};
    xcb_send_event(host, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
  }

  xcb_connection_t* host = nullptr;
  xcb_screen_t* screen = nullptr;
  xcb_visualid_t argb = 0;
  xcb_window_t hostWindow = 0;
};

}  // namespace

// Clicks, a drag and typing through the real server, in a 32-bit parent; keys typed while the
// pointer only hovers stay the host's, and come back to it once the edit is over.
TEST_F(X11FrameTest, ClicksDragsTypingAndTheScreenShowsWhatWasDrawn) {
  EXPECT_NE(argb, 0u) << "the 32-bit parent is not tried";
  const uint32_t mask = XCB_EVENT_MASK_KEY_PRESS;
  xcb_change_window_attributes(host, hostWindow, XCB_CW_EVENT_MASK, &mask);
  xcb_set_input_focus(host, XCB_INPUT_FOCUS_POINTER_ROOT, hostWindow, XCB_CURRENT_TIME);
  auto hostKeys = [&] {
    sync();
    int n = 0;
    while (xcb_generic_event_t* e = xcb_poll_for_event(host)) {
      n += (e->response_type & 0x7f) == XCB_KEY_PRESS;
      free(e);
    }
    return n;
  };
  CallLog log;
  log.knobMode = kLinearMode;
  CFrame* frame = openFrame(log);
  CBitmap* strip = makeStrip(60, 20, 3);
  auto* sw = new CHorizontalSwitch(CRect(20, 10, 80, 30), &log, 8, 3, 20, 3, strip);
  auto* knob = new CKnob(CRect(300, 100, 350, 150), &log, 6, nullptr, nullptr);
  knob->setValue(0.5f);
  auto* edit = new CTextEdit(CRect(175, 232, 292, 246), &log, 96, "Preset 1");
  for (CView* view : std::initializer_list<CView*>{sw, knob, edit}) frame->addView(view);
  idleUntil(frame);  // mapped, exposed, drawn
  hostKeys();

  ASSERT_TRUE(
      run("xdotool mousemove 70 15 click 1 mousemove 325 140 mousedown 1 "
          "mousemove 325 115 mousemove 325 90 mouseup 1 mousemove 100 100 key a key b"));
  EXPECT_TRUE(idleUntil(frame, [&] { return !log.calls.empty() && log.calls.back() == "end 6"; }));
  EXPECT_EQ(sw->getValue(), 1.f);
  EXPECT_NEAR(knob->getValue(), 0.75f, 1e-6) << "50 px up at 200 px per range";
  EXPECT_EQ(log.calls[log.calls.size() - 2], "changed 6 0.75");
  EXPECT_EQ(hostKeys(), 2) << "keys typed while hovering reach the host";

  log.clear();
  ASSERT_TRUE(run("xdotool mousemove 200 239 click 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return frame->getFocusView() == edit; }));
  ASSERT_TRUE(run("xdotool key BackSpace type Xy"));
  ASSERT_TRUE(
      run("xdotool key Home key Delete key End key Left key BackSpace "
          "key Home key Right key BackSpace key KP_Enter"));
  EXPECT_TRUE(idleUntil(frame, [&] { return frame->getFocusView() == nullptr; }));
  EXPECT_STREQ(edit->getText(), "eset y");
  EXPECT_EQ(log.calls, (Calls{"begin 96", "changed 96 0", "end 96"}));
  EXPECT_EQ(hostKeys(), 0) << "while editing, the keys are the field's";
  ASSERT_TRUE(run("xdotool mousemove 100 100 key d"));
  idleUntil(frame);
  EXPECT_EQ(hostKeys(), 1) << "after the edit the host has its keys back";

  EXPECT_EQ(screenDifferences(frame), 0);
  EXPECT_EQ(countDifferences(frame->getBackBuffer(), sw->getViewSize(), strip, CPoint(0, 40)), 0);

  ASSERT_TRUE(run("xdotool mousemove 200 239 click 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return frame->getFocusView() == edit; }));
  frame->removeView(edit);  // as a panel closing while its name is being edited
  ASSERT_TRUE(run("xdotool mousemove 100 100 key e"));
  idleUntil(frame);
  EXPECT_EQ(hostKeys(), 1) << "a field removed while editing gives the host its keys back";
  frame->close();
  strip->forget();
}

// At 2x the window is twice the editor's size and every pointer event reaches the frame in
// layout pixels. Queued motions are merged, but not across a change of modifiers (a Shift press
// changes a drag's rate); double clicks are told by 5 layout pixels; a press whose release never
// came is released at the next motion without buttons; leaving the window ends the hover.
TEST_F(X11FrameTest, EventsReachTheFrameInLayoutPixelsWithTheirButtonsAndModifiers) {
  ASSERT_TRUE(run("xdotool mousemove 1590 1190"));  // the real pointer stays out of the way
  CallLog log;
  CFrame* frame = openFrame(log, 1.5, createHostWindow(1600, 500, screen->root_visual, 24));
  Calls events;
  frame->addView(new EventProbe(CRect(0, 0, 778, 248), &events));
  frame->setScaleFactor(2);  // the open window follows
  const xcb_window_t window = windowOf(frame);

  constexpr uint16_t button1 = XCB_BUTTON_MASK_1, shift = XCB_MOD_MASK_SHIFT;
  send(window, XCB_ENTER_NOTIFY, 11, 21, 0);
  send(window, XCB_BUTTON_PRESS, 415, 223, 0);
  for (const int16_t x : {420, 430, 440, 450})
    send(window, XCB_MOTION_NOTIFY, x, 200, x < 435 ? button1 : button1 | shift);
  send(window, XCB_BUTTON_RELEASE, 451, 200, button1 | shift);
  send(window, XCB_BUTTON_PRESS, 100, 61, XCB_MOD_MASK_CONTROL, 4);
  send(window, XCB_BUTTON_PRESS, 100, 61, 0, 5);
  send(window, XCB_BUTTON_PRESS, 700, 100, 0, 3);
  send(window, XCB_MOTION_NOTIFY, 702, 100, 0);  // its release was lost
  for (const int16_t x : {600, 608, 800, 812}) send(window, XCB_BUTTON_PRESS, x, 100, 0);
  send(window, XCB_BUTTON_PRESS, 0, 0, 0, 2);
  send(window, XCB_BUTTON_RELEASE, 0, 0, 0, 2);
  // Leaving the window ends the hover; a leave that a grab causes does not.
  auto leave = [&](uint8_t mode) {
    const xcb_leave_notify_event_t e{
        XCB_LEAVE_NOTIFY, 0, 0, 0, 0, window, 0, 0, 0, 10, 10, 0, mode, 1};
    xcb_send_event(host, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
  };
  leave(XCB_NOTIFY_MODE_GRAB);
  send(window, XCB_MOTION_NOTIFY, 10, 10, 0);
  leave(XCB_NOTIFY_MODE_NORMAL);
  sync();
  idleUntil(frame, [&] { return events.size() >= 19; });
  EXPECT_EQ(events, (Calls{"in 5.5 10.5", "moved 5.5 10.5", "down 207.5 111.5 L", "moved 215 100 L",
                           "moved 225 100 L shift", "up 225.5 100 L shift", "wheel+ 50 30.5 ctrl",
                           "wheel- 50 30.5", "down 350 50 R", "up 351 50 R", "moved 351 50",
                           "down 300 50 L", "down 304 50 L double", "down 400 50 L",
                           "down 406 50 L", "down 0 0 M", "up 0 0 M", "moved 5 5", "out 5 5"}));
  idleUntil(frame);
  EXPECT_EQ(screenDifferences(frame), 0);
  frame->close();
}

// A window that could not be opened leaves no connection behind; a parent that went first and
// a click that closes the window it came from are survived. (Open-close cycles of the real
// editor are counted by the host's and the LV2 tests.)
TEST_F(X11FrameTest, OpeningAndClosingLeaveNothingBehind) {
  struct Closer : CallLog {
    CFrame* frame = nullptr;
    void valueChanged(CControl*) override {
      if (frame) std::exchange(frame, nullptr)->close();
    }
  } closer;
  const int before = countOpenDescriptors();
  auto* orphan =
      new CFrame(CRect(0, 0, 778, 248), reinterpret_cast<void*>(uintptr_t{0x3fffff0}), &closer);
  EXPECT_FALSE(orphan->hasPlatformWindow());
  orphan->idle();
  orphan->close();
  EXPECT_EQ(countOpenDescriptors(), before) << "a failed open leaves no connection behind";

  CFrame* frame = openFrame(closer);
  frame->idle();
  xcb_destroy_window(host, hostWindow);  // the host tears its window down first
  sync();
  frame->setDirty(true);
  frame->idle();
  frame->close();

  hostWindow = createHostWindow(800, 300, screen->root_visual, 24);
  frame = closer.frame = openFrame(closer);
  frame->addView(new CHorizontalSwitch(CRect(0, 0, 100, 100), &closer, 1, 2, 100, 2, nullptr));
  frame->remember();  // kept to look at after it closed itself
  idleUntil(frame);
  ASSERT_TRUE(run("xdotool mousemove 80 50 click 1 mousemove 60 60 click 1"));
  EXPECT_TRUE(idleUntil(frame, [&] { return closer.frame == nullptr; }));
  frame->idle();
  EXPECT_FALSE(frame->hasPlatformWindow());
  EXPECT_EQ(frame->getNbViews(), 0);
  frame->forget();
}
