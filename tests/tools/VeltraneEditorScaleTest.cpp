// Veltrane's editor at 1.5x and 2x in veltrane-host's window: the mouse at the scaled places
// does what it does at 1x, the desktop's settings choose the size, and the "Size" menu resizes
// the open window through a host that can.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "VeltraneWindowSupport.h"

namespace {

using namespace veltranewindow;

// The last line of `text` that starts with `prefix`, or "".
std::string lastLine(const std::string& text, const std::string& prefix) {
  std::string found;
  for (std::size_t at = 0; (at = text.find(prefix, at)) != std::string::npos; ++at)
    if (at == 0 || text[at - 1] == '\n') found = text.substr(at, text.find('\n', at) - at);
  return found;
}

class VeltraneScaledWindow : public VeltraneWindow {
 protected:
  // What the host heard of each gesture, with the editor at a scale factor. Every point is a
  // whole device pixel at 1, 1.5 and 2.
  std::vector<std::string> gesturesAt(double f) {
    const std::string factor = f == 1.5 ? "1.5" : std::to_string(static_cast<int>(f));
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", static_cast<int>(778 * f), static_cast<int>(248 * f));
    Session s = open({"--no-audio"}, {{"VELTRANE_UI_SCALE", factor}}, size);
    if (!s.window || !captureWhenSettled(s.window).width) return {"no window"};
    auto at = [f](double layout) { return static_cast<int>(std::lround(layout * f)); };
    std::vector<std::string> heard;
    // Runs a gesture and notes the last value the host was sent for `parameter`. No two
    // presses in a row are within 5 pixels, so none makes a double click.
    auto gesture = [&](const std::function<bool()>& run, int tag, int parameter) {
      const std::size_t from = s.process->output().size();
      EXPECT_TRUE(run());
      s.process->waitForLine(is("endEdit " + std::to_string(tag)), 5s, from);
      heard.push_back(lastLine(s.process->output().substr(from),
                               "automate " + std::to_string(parameter) + " "));
    };
    // The rocker's right half starts at its middle column, x 328; the preset's name shows
    // which way a click went.
    const Area name{at(175), at(232), at(117), at(14)};
    const PixelImage firstName = crop(capture(s.window), name);
    auto rocker = [&](int x, bool toFirst) {
      EXPECT_TRUE(click(s.window, x, at(238)));
      const PixelImage now = watch(s.window, name, [&](const PixelImage& shown) {
        return same(shown, firstName) == toFirst;
      });
      heard.push_back(same(now, firstName) ? "first preset" : "another preset");
    };

    gesture([&] { return click(s.window, at(678), at(30)); }, 0, 0);  // EQ
    gesture([&] { return drag(s.window, at(680), at(110), at(680), at(70)); }, 6, 6);
    gesture([&] { return click(s.window, at(90), at(110), 4); }, 9, 9);  // the wheel, HPF
    // The LM knob's centre is (328, 111), its radius 23: 23 px below it is the centre still,
    // one device pixel further the ring.
    gesture([&] { return drag(s.window, at(328), at(134), at(328), at(94)); }, 42, 19);
    rocker(at(328), false);
    gesture([&] { return drag(s.window, at(328), at(134) + 1, at(328), at(94) + 1); }, 42, 17);
    rocker(at(328) - 1, true);
    EXPECT_EQ(close(s), 0);
    return heard;
  }
};

TEST_F(VeltraneScaledWindow, EveryGestureDoesAtTheScaledPlaceWhatItDoesAt1x) {
  const std::vector<std::string> layout = gesturesAt(1.0);
  ASSERT_EQ(layout.size(), 7u);
  EXPECT_EQ(layout[0], "automate 0 0");
  EXPECT_EQ(layout[2], "automate 9 0.00999999978");
  EXPECT_NE(layout[3], "") << "the centre turned";
  EXPECT_EQ(layout[4], "another preset") << "the right half";
  EXPECT_NE(layout[5], "") << "the ring turned";
  EXPECT_EQ(layout[6], "first preset") << "the left half";
  for (double f : {1.5, 2.0}) EXPECT_EQ(gesturesAt(f), layout) << f;
}

TEST_F(VeltraneScaledWindow, TheDesktopChoosesTheSizeAndABadSettingIsPassedOver) {
  Session gdk = open({"--no-audio"}, {{"VELTRANE_UI_SCALE", "3"}, {"GDK_SCALE", "2"}}, "1556x496");
  EXPECT_EQ(close(gdk), 0);
  EXPECT_EQ(gdk.process->errors(),
            "Veltrane: VELTRANE_UI_SCALE \"3\" is not 1, 1.5 or 2; ignored\n");

  // The desktop's resource database says 144 dpi.
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  const char resources[] = "Xft.dpi:\t144\n";
  xcb_change_property(x, XCB_PROP_MODE_REPLACE, screen->root, XCB_ATOM_RESOURCE_MANAGER,
                      XCB_ATOM_STRING, 8, sizeof resources - 1, resources);
  xcb_flush(x);
  Session dpi = open({"--no-audio"}, {}, "1167x372");
  EXPECT_EQ(close(dpi), 0);
  xcb_delete_property(x, screen->root, XCB_ATOM_RESOURCE_MANAGER);
  xcb_flush(x);
}

TEST_F(VeltraneScaledWindow, TheSizeMenuResizesTheOpenWindowAndTheNextOpensAtThatSize) {
  Session s = open({"--no-audio"});
  ASSERT_TRUE(s.window);
  ASSERT_TRUE(captureWhenSettled(s.window).width);
  // The list opens at the right-click, one row of 17 pixels each: "Size:", "100%", "150%",
  // "200%", "Automatic".
  ASSERT_TRUE(click(s.window, 250, 10, 3));
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(click(s.window, 270, 10 + 1 + 3 * 17 + 8));
  EXPECT_TRUE(s.process->waitForLine(is("sizeWindow 1556 496"), 5s)) << s.process->output();
  PixelImage resized;
  for (int i = 0; i < 50 && resized.width != 1556; ++i) {
    std::this_thread::sleep_for(100ms);
    resized = capture(s.window);
  }
  ASSERT_EQ(resized.width, 1556) << "the host's window";
  // The host's window is black where no editor covers it.
  EXPECT_NE(captureWhenSettled(s.window).at(1550, 490), 0u) << "the editor's window grew too";
  EXPECT_EQ(close(s), 0);

  Session next = open({"--no-audio"}, {}, "1556x496");
  EXPECT_EQ(close(next), 0);
}

}  // namespace
