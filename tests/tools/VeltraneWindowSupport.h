// Veltrane's editor in veltrane-host's window on a private X server: opening it, looking at
// parts of the window and moving the mouse in it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "HostEditorTestSupport.h"

namespace veltranewindow {

using namespace std::chrono_literals;

struct Area {
  int left, top, width, height;
};
constexpr Area kClipLed{712, 57, 16, 16};
constexpr Area kEqButton{663, 22, 30, 16};

inline PixelImage crop(const PixelImage& image, const Area& a) {
  PixelImage part;
  if (image.width < a.left + a.width || image.height < a.top + a.height) return part;
  part.width = a.width;
  part.height = a.height;
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

class VeltraneWindow : public HostEditorWindowTest {
 protected:
  struct Session {
    std::unique_ptr<ChildProcess> process;
    uint32_t window = 0;
  };

  // Veltrane's editor, open and drawn, in a window of the expected size.
  Session open(const std::vector<std::string>& arguments, ChildProcess::Environment extra = {},
               const std::string& size = "778x248") {
    Session s;
    s.process = startEditor(VELTRANE_PLUGIN_PATH, arguments, std::move(extra));
    const auto line = s.process->waitForLineStartingWith("window 0x", 10s);
    if (!line) {
      ADD_FAILURE() << "no window: " << s.process->errors();
      return s;
    }
    EXPECT_NE(line->find(" " + size), std::string::npos) << *line;
    s.window = windowId(*line);
    return s;
  }
  // Closed as with the window's close button; the exit status.
  int close(Session& s) {
    sendDeleteWindow(s.window);
    return s.process->wait(10s);
  }
  // Looks at one area of the window until `done` holds for it (or five seconds passed).
  PixelImage watch(uint32_t window, const Area& area,
                   const std::function<bool(const PixelImage&)>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    PixelImage now;
    do {
      now = crop(capture(window), area);
      if (done(now)) break;
      std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return now;
  }
  bool drag(uint32_t window, int fromX, int fromY, int toX, int toY) {
    const std::string w = "mousemove --window " + std::to_string(window) + " ";
    const int midX = (fromX + toX) / 2, midY = (fromY + toY) / 2;
    return xdotool(w + std::to_string(fromX) + " " + std::to_string(fromY) + " mousedown 1 " + w +
                   std::to_string(midX) + " " + std::to_string(midY) + " " + w +
                   std::to_string(toX) + " " + std::to_string(toY) + " mouseup 1");
  }
};

}  // namespace veltranewindow
