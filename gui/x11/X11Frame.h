#pragma once

#include "gui/CButtonState.h"
#include "gui/CairoHandles.h"
#include "gui/IPlatformFrame.h"
#include "gui/x11/X11Input.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <vector>

// The editor window: a child of the host's window on its own xcb connection. Everything runs
// in the host's editor-idle call: events are drained and dispatched, and regions of the
// frame's back buffer are copied to the window. Expose only copies; it never re-renders.
// The window has the back buffer's device size; pointer positions are handed to the frame in
// layout pixels, so every gesture measures the same at any scale factor.
class X11Frame : public IPlatformFrame {
 public:
  X11Frame(const X11Frame&) = delete;
  X11Frame& operator=(const X11Frame&) = delete;
  ~X11Frame() override;

  // Null when the display cannot be reached or the parent window is not usable.
  static std::unique_ptr<X11Frame> open(CFrame& frame, uint32_t parentWindow);

  void processEvents() override;
  void copyToWindow(const std::vector<CRect>& rects) override;
  void setKeyboardCapture(bool capture) override;
  void serviceWhileBlocked() override;
  std::uintptr_t nativeWindow() const override { return window; }
  void scaleFactorChanged() override;

  xcb_window_t getWindow() const { return window; }
  bool isWindowAlive() const { return windowAlive; }

 private:
  explicit X11Frame(CFrame& frame);
  bool create(xcb_window_t parentWindow);
  void handleEvent(const xcb_generic_event_t* event, bool nextIsMotion);
  void handleButtonPress(const xcb_button_press_event_t* event);
  void handleKey(const xcb_key_press_event_t* event, bool down);
  // Ends presses whose release never came (the grab ended while our window was hidden).
  void releaseLostButtons(const CPoint& where, uint16_t state);
  // A pointer position of the window in the frame's layout pixels.
  CPoint toLayout(int16_t x, int16_t y) const;
  void blit(const std::vector<CRect>& deviceRects);
  uint32_t eventMask() const;
  bool haveInputFocus();

  CFrame& frame;
  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
  xcb_visualtype_t* visual = nullptr;
  CairoSurfacePtr windowSurface;
  xcb_key_symbols_t* keySymbols = nullptr;
  std::vector<CRect> pendingExpose;
  int windowWidth = 0;
  int windowHeight = 0;
  bool windowAlive = false;
  bool keyboardCaptured = false;
  xcb_window_t previousFocus = 0;

  DoubleClickDetector doubleClick;
  int64_t buttonsDown = 0;
};
