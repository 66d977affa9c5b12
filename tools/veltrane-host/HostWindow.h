#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "PixelImage.h"

// The host's own top-level window, whose id a plug-in receives as the parent of its editor.
// It lives on a connection of its own; the plug-in opens another. Closing it from the window
// manager (WM_DELETE_WINDOW) only raises a flag: the host decides when to tear down.
class HostWindow {
 public:
  // Connects to the display in $DISPLAY and shows a window of the given size; null with a
  // reason when there is no display.
  static std::unique_ptr<HostWindow> open(const std::string& title, int width, int height,
                                          std::string& error);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  std::uint32_t id() const { return window_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void resize(int width, int height);

  // Handles the events that have arrived; false once the window was closed or destroyed, or
  // the display went away.
  bool handleEvents();
  // Returns when an event arrives, the time is up or a signal came.
  void waitForEvents(std::chrono::milliseconds timeout);

  // How many windows the server has inside this one now (a closed editor should leave none).
  int childCount();

  // What the window shows on screen, the plug-in's child windows included.
  bool capture(PixelImage& image, std::string& error);

 private:
  HostWindow() = default;
  xcb_atom_t atom(const char* name);
  void setFixedSize(int width, int height);
  void waitUntilMapped();

  xcb_connection_t* connection_ = nullptr;
  xcb_screen_t* screen_ = nullptr;
  xcb_window_t window_ = 0;
  xcb_atom_t protocolsAtom_ = XCB_ATOM_NONE;
  xcb_atom_t deleteWindowAtom_ = XCB_ATOM_NONE;
  int width_ = 0;
  int height_ = 0;
  bool closeRequested_ = false;
  bool destroyed_ = false;
};
