#pragma once

// Shared by the tests that run `veltrane-host editor`: every program they start gets a home
// and settings folder of its own; the window tests get a private X server, a connection of
// their own to look at the host's window, and xdotool to click into it.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PixelImage.h"
#include "WindowCapture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

class HostEditorTest : public ::testing::Test {
 protected:
  ChildProcess::Environment environment(std::optional<std::string> display) const {
    return {{"HOME", home.path().string()},
            {"XDG_CONFIG_HOME", (home.path() / "config").string()},
            {"DISPLAY", std::move(display)}};
  }
  // `veltrane-host editor` with these words after "editor".
  std::unique_ptr<ChildProcess> start(const std::vector<std::string>& arguments,
                                      std::optional<std::string> display,
                                      ChildProcess::Environment extra = {}) const {
    std::vector<std::string> argv{VELTRANE_HOST_PATH, "editor"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto env = environment(std::move(display));
    for (auto& [name, value] : extra) env[name] = value;
    return std::make_unique<ChildProcess>(argv, env);
  }

  TempDir home;
};

class HostEditorWindowTest : public HostEditorTest {
 public:
  static void SetUpTestSuite() { server = new XvfbServer; }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

 protected:
  void SetUp() override {
    if (!server->running()) GTEST_SKIP() << XvfbServer::skipReason();
    x = xcb_connect(server->display().c_str(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(x));
  }
  void TearDown() override {
    if (x) xcb_disconnect(x);
  }

  std::unique_ptr<ChildProcess> startEditor(const std::string& plugin,
                                            std::vector<std::string> arguments,
                                            ChildProcess::Environment extra = {}) const {
    arguments.insert(arguments.begin(), plugin);
    return start(arguments, server->display(), std::move(extra));
  }
  // The host window's id from the line that announces it ("window 0x... WxH").
  static uint32_t windowId(const std::string& line) {
    return static_cast<uint32_t>(std::strtoul(line.c_str() + std::strlen("window "), nullptr, 16));
  }
  bool xdotool(const std::string& arguments) const {
    const std::string command = "DISPLAY=" + server->display() + " HOME='" + home.path().string() +
                                "' XDG_CONFIG_HOME='" + (home.path() / "config").string() +
                                "' xdotool " + arguments;
    return std::system(command.c_str()) == 0;
  }
  // A click (or press and release of another button) at a point of the window.
  bool click(uint32_t window, int atX, int atY, int button = 1) const {
    return xdotool("mousemove --window " + std::to_string(window) + " " + std::to_string(atX) +
                   " " + std::to_string(atY) + " click " + std::to_string(button));
  }

  // What the window manager's close button sends.
  void sendDeleteWindow(uint32_t window) {
    auto atom = [&](const char* name) {
      auto* r = xcb_intern_atom_reply(
          x, xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
      const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
      free(r);
      return a;
    };
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    xcb_send_event(x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(x);
  }

  // What the window shows now; empty when it cannot be read.
  PixelImage capture(uint32_t window) {
    PixelImage image;
    std::string error;
    if (!captureWindow(x, window, image, error)) image = PixelImage{};
    return image;
  }
  // What the window shows once it has stopped changing (two looks 100 ms apart agree and
  // the picture is not plain black), or empty after five seconds.
  PixelImage captureWhenSettled(uint32_t window) {
    using namespace std::chrono_literals;
    PixelImage previous = capture(window);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(100ms);
      PixelImage now = capture(window);
      bool black = true;
      for (uint32_t p : now.pixels) black = black && p == 0;
      if (!now.pixels.empty() && !black && now.pixels == previous.pixels) return now;
      previous = std::move(now);
    }
    return PixelImage{};
  }

  static inline XvfbServer* server = nullptr;
  xcb_connection_t* x = nullptr;
};
