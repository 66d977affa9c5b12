// An embedded picture decoded by cairo, the way the toolkit will decode it.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

class DecodedPng {
 public:
  // Decodes the embedded resource with this file name; ok() is false if it is missing or broken.
  explicit DecodedPng(const std::string& name);
  ~DecodedPng();
  DecodedPng(const DecodedPng&) = delete;
  DecodedPng& operator=(const DecodedPng&) = delete;

  bool ok() const { return surface_ != nullptr; }
  int width() const;
  int height() const;

  // Unpremultiplied channels of one pixel.
  struct Pixel {
    int r, g, b, a;
    bool operator==(const Pixel&) const = default;
  };
  Pixel at(int x, int y) const;

 private:
  cairo_surface_t* surface_ = nullptr;
};
