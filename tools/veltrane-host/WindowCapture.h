#pragma once

#include <xcb/xcb.h>

#include <string>

#include "PixelImage.h"

// What a window shows on screen, read back from the X server: children drawn by other
// clients (a plug-in's editor) included, as long as nothing covers the window. Works for
// true-colour visuals stored in 32 bits per pixel (depths 24 and 32); false with a reason
// otherwise or when the window is gone or not entirely on screen.
bool captureWindow(xcb_connection_t* connection, xcb_window_t window, PixelImage& image,
                   std::string& error);
