#pragma once

#include "gui/CRect.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CFrame;

// The window a frame lives in. The frame renders into its own back buffer; the platform
// window feeds it events and copies finished regions of that buffer to the screen.
class IPlatformFrame {
 public:
  virtual ~IPlatformFrame() = default;
  // Drains the window's pending events and dispatches them to the frame.
  virtual void processEvents() = 0;
  // Copies these regions of the frame's back buffer to the window.
  virtual void copyToWindow(const std::vector<CRect>& rects) = 0;
  // Key events are wanted only while text is being edited, so hovering never takes the
  // host's shortcuts.
  virtual void setKeyboardCapture(bool capture) = 0;
  // While a blocking dialog runs: keep the window painted, drop input.
  virtual void serviceWhileBlocked() = 0;
  // The window's handle as the platform knows it (what a host embedding it is told).
  virtual std::uintptr_t nativeWindow() const = 0;
  // The frame's scale factor changed: the window takes the back buffer's new size.
  virtual void scaleFactorChanged() = 0;
};

// Opens the window for `frame` as a child of the host's window; null when that fails.
std::unique_ptr<IPlatformFrame> createPlatformFrame(CFrame& frame, void* parentWindow);

// A setting of the display's resource database (e.g. "Xft.dpi") as text; none without a
// display or without the setting.
std::optional<std::string> readDisplayResource(const char* name);
