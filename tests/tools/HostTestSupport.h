#pragma once

// Shared by the tests that run `veltrane-host editor`: every program they start gets a home and
// settings folder of its own and a private X server, the test a connection of its own to look at
// the host's window, and xdotool to click into it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "PixelImage.h"
#include "WindowCapture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

struct Area {
  int left, top, width, height;
};

inline PixelImage crop(const PixelImage& image, const Area& a) {
  PixelImage part{a.width, a.height, {}};
  if (image.width < a.left + a.width || image.height < a.top + a.height) return {};
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) part.pixels.push_back(image.at(a.left + x, a.top + y));
  return part;
}

inline bool same(const PixelImage& a, const PixelImage& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

inline std::function<bool(const std::string&)> is(const std::string& expected) {
  return [expected](const std::string& line) { return line == expected; };
}
// The line that announces the host's window ("window 0x... WxH").
inline bool isWindow(const std::string& line) { return line.rfind("window 0x", 0) == 0; }

class HostEditorTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() { server = new XvfbServer; }
  static void TearDownTestSuite() { delete std::exchange(server, nullptr); }

 protected:
  void SetUp() override {
    if (!server->running()) GTEST_SKIP() << XvfbServer::skipReason();
    x = xcb_connect(server->display().c_str(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(x));
  }
  void TearDown() override {
    if (x) xcb_disconnect(x);
  }

  // `veltrane-host editor` with these words after "editor", on the private server unless
  // `extra` chooses another display (or none).
  std::unique_ptr<ChildProcess> start(const std::vector<std::string>& arguments,
                                      ChildProcess::Environment extra = {}) {
    std::vector<std::string> argv{VELTRANE_HOST_PATH, "editor"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    extra.emplace("DISPLAY", server->display());
    extra.emplace("HOME", home.path().string());
    extra.emplace("XDG_CONFIG_HOME", (home.path() / "config").string());
    return std::make_unique<ChildProcess>(argv, extra);
  }
  // The host window's id from the line that announces it ("window 0x... WxH").
  static uint32_t windowId(const std::string& line) {
    return static_cast<uint32_t>(std::strtoul(line.c_str() + std::strlen("window "), nullptr, 16));
  }
  bool xdotool(const std::string& arguments) const {
    const std::string command = "DISPLAY=" + server->display() + " HOME='" + home.path().string() +
                                "' xdotool " + arguments;
    return std::system(command.c_str()) == 0;
  }
  // A click (or press and release of another button) at a point of the window.
  bool click(uint32_t window, int atX, int atY, int button = 1) const {
    return xdotool("mousemove --window " + std::to_string(window) + " " + std::to_string(atX) +
                   " " + std::to_string(atY) + " click " + std::to_string(button));
  }
  // A drag straight up or down, by way of its middle.
  bool drag(uint32_t window, int atX, int fromY, int toY) const {
    const std::string w =
        "mousemove --window " + std::to_string(window) + " " + std::to_string(atX);
    return xdotool(w + " " + std::to_string(fromY) + " mousedown 1 " + w + " " +
                   std::to_string((fromY + toY) / 2) + " " + w + " " + std::to_string(toY) +
                   " mouseup 1");
  }

  xcb_atom_t atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return found;
  }
  // What the window manager's close button sends.
  void sendDeleteWindow(uint32_t window) {
    xcb_client_message_event_t message{XCB_CLIENT_MESSAGE, 32, 0, window, atom("WM_PROTOCOLS"), {}};
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    xcb_send_event(x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(x);
  }

  // What the window shows now; empty when it cannot be read.
  PixelImage capture(uint32_t window) {
    PixelImage image;
    std::string error;
    return captureWindow(x, window, image, error) ? image : PixelImage{};
  }
  // Looks at one area of the window (all of it by default) until `done` holds for it, or five
  // seconds passed.
  PixelImage watch(uint32_t window, const std::function<bool(const PixelImage&)>& done,
                   std::optional<Area> area = {}) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    PixelImage now;
    do {
      now = area ? crop(capture(window), *area) : capture(window);
      if (done(now)) break;
      std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return now;
  }
  // What the window shows once it has stopped changing (two looks 100 ms apart agree and the
  // picture is not plain black), or empty after five seconds.
  PixelImage captureWhenSettled(uint32_t window) {
    PixelImage previous;
    bool settled = false;
    const PixelImage now = watch(window, [&](const PixelImage& shown) {
      settled =
          std::any_of(shown.pixels.begin(), shown.pixels.end(), [](uint32_t p) { return p; }) &&
          shown.pixels == previous.pixels;
      previous = shown;
      if (!settled) std::this_thread::sleep_for(80ms);
      return settled;
    });
    return settled ? now : PixelImage{};
  }

  static inline XvfbServer* server = nullptr;
  xcb_connection_t* x = nullptr;
  TempDir home;
};

// Veltrane's own editor in the host's window.
class VeltraneWindow : public HostEditorTest {
 protected:
  struct Session {
    std::unique_ptr<ChildProcess> process;
    uint32_t window = 0;
  };

  // Veltrane's editor, open and drawn, in a window of the expected size.
  Session open(const std::vector<std::string>& arguments, ChildProcess::Environment extra = {},
               const std::string& size = "778x248") {
    Session s;
    std::vector<std::string> words{VELTRANE_PLUGIN_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    s.process = start(words, std::move(extra));
    const auto line = s.process->waitForLine(isWindow, 10s);
    if (!line) {
      ADD_FAILURE() << "no window: " << s.process->errors();
      return s;
    }
    EXPECT_NE(line->find(" " + size), std::string::npos) << *line;
    s.window = windowId(*line);
    EXPECT_TRUE(captureWhenSettled(s.window).width) << "nothing drawn";
    return s;
  }
  // What an area of the window shows once it differs from `from`, or after five seconds.
  PixelImage changed(uint32_t window, const Area& area, const PixelImage& from) {
    return watch(
        window, [&](const PixelImage& now) { return !same(now, from); }, area);
  }
  // Closed as with the window's close button; the exit status.
  int close(Session& s) {
    sendDeleteWindow(s.window);
    return s.process->wait(10s);
  }
};
