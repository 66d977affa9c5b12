#include "PixelImage.h"

#include <cairo.h>

#include <cstring>
#include <memory>

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

}  // namespace

bool writePng(const PixelImage& image, const std::string& path, std::string& error) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    error = "no picture to write to " + path;
    return false;
  }
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    error = "cannot make a picture of " + std::to_string(image.width) + " x " +
            std::to_string(image.height) + " pixels";
    return false;
  }
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < image.height; ++y)
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride,
                image.pixels.data() + static_cast<std::size_t>(y) * image.width,
                static_cast<std::size_t>(image.width) * sizeof(std::uint32_t));
  cairo_surface_mark_dirty(surface.get());
  const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    error = "cannot write " + path + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

bool readPng(const std::string& path, PixelImage& image, std::string& error) {
  Surface surface(cairo_image_surface_create_from_png(path.c_str()));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    error =
        "cannot read " + path + ": " + cairo_status_to_string(cairo_surface_status(surface.get()));
    return false;
  }
  cairo_surface_flush(surface.get());
  image.width = cairo_image_surface_get_width(surface.get());
  image.height = cairo_image_surface_get_height(surface.get());
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < image.width; ++x)
      image.pixels[static_cast<std::size_t>(y) * image.width + x] = row[x] & 0xffffffu;
  }
  return true;
}
