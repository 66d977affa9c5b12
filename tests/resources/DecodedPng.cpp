#include "DecodedPng.h"

#include "resources/EmbeddedResources.h"

#include <algorithm>
#include <cstring>

namespace {

struct Reader {
  const unsigned char* data;
  std::size_t size;
  std::size_t offset;
};

cairo_status_t readChunk(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<Reader*>(closure);
  if (length > reader->size - reader->offset) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

DecodedPng::DecodedPng(const std::string& name) {
  const EmbeddedResource* resource = findEmbeddedResource(name.c_str());
  if (resource == nullptr) return;
  Reader reader{resource->data, resource->size, 0};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readChunk, &reader);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;
  }
  surface_ = surface;
}

DecodedPng::~DecodedPng() {
  if (surface_ != nullptr) cairo_surface_destroy(surface_);
}

int DecodedPng::width() const {
  return surface_ != nullptr ? cairo_image_surface_get_width(surface_) : 0;
}

int DecodedPng::height() const {
  return surface_ != nullptr ? cairo_image_surface_get_height(surface_) : 0;
}

DecodedPng::Pixel DecodedPng::at(int x, int y) const {
  const unsigned char* row =
      cairo_image_surface_get_data(surface_) +
      static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface_);
  std::uint32_t value = 0;
  std::memcpy(&value, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof value);
  const int a = static_cast<int>(value >> 24);
  auto channel = [&](int shift) {
    const int premultiplied = static_cast<int>((value >> shift) & 0xFF);
    return a == 0 ? 0 : std::min(255, (premultiplied * 255 + a / 2) / a);
  };
  if (cairo_image_surface_get_format(surface_) == CAIRO_FORMAT_RGB24)
    return {static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
            static_cast<int>(value & 0xFF), 255};
  return {channel(16), channel(8), channel(0), a};
}
