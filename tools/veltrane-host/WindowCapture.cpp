#include "WindowCapture.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

const xcb_visualtype_t* findVisual(const xcb_setup_t* setup, xcb_visualid_t id) {
  for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens))
    for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
         xcb_depth_next(&depths))
      for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
           xcb_visualtype_next(&visuals))
        if (visuals.data->visual_id == id) return visuals.data;
  return nullptr;
}

// One colour channel of a pixel, scaled to 8 bits whatever its width in the visual.
std::uint32_t channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1u)) ++shift;
  const std::uint32_t max = mask >> shift;
  return static_cast<std::uint32_t>(
      (static_cast<std::uint64_t>((pixel & mask) >> shift) * 255 + max / 2) / max);
}

}  // namespace

bool captureWindow(xcb_connection_t* connection, xcb_window_t window, PixelImage& image,
                   std::string& error) {
  Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
  if (!geometry) {
    error = "the window is gone";
    return false;
  }
  // GetImage of a window copies what is on screen inside it: the children the plug-in drew
  // into are part of it, as long as nothing covers the window.
  xcb_generic_error_t* failure = nullptr;
  Reply<xcb_get_image_reply_t> reply(
      xcb_get_image_reply(connection,
                          xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                        geometry->width, geometry->height, ~0u),
                          &failure));
  Reply<xcb_generic_error_t> failed(failure);
  if (!reply) {
    error = "the window is not entirely on screen";
    return false;
  }
  const xcb_setup_t* setup = xcb_get_setup(connection);
  int bitsPerPixel = 0, scanlinePad = 0;
  for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
       xcb_format_next(&formats)) {
    if (formats.data->depth == reply->depth) {
      bitsPerPixel = formats.data->bits_per_pixel;
      scanlinePad = formats.data->scanline_pad;
    }
  }
  Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, window), nullptr));
  const xcb_visualtype_t* visual = attributes ? findVisual(setup, attributes->visual) : nullptr;
  if (bitsPerPixel != 32 || scanlinePad == 0 || !visual ||
      visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR) {
    error = "the display's pixel format (depth " + std::to_string(reply->depth) +
            ") is not one this host can save";
    return false;
  }
  const int width = geometry->width, height = geometry->height;
  const std::size_t stride = static_cast<std::size_t>((width * bitsPerPixel + scanlinePad - 1) /
                                                      scanlinePad * scanlinePad / 8);
  const auto* data = xcb_get_image_data(reply.get());
  if (static_cast<std::size_t>(xcb_get_image_data_length(reply.get())) < stride * height) {
    error = "the display sent a short picture";
    return false;
  }
  const bool mostSignificantFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = data + stride * y;
    for (int x = 0; x < width; ++x) {
      const uint8_t* b = row + 4 * x;
      const uint32_t pixel =
          mostSignificantFirst
              ? (uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3])
              : (uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0]);
      image.pixels[static_cast<std::size_t>(y) * width + x] =
          channel(pixel, visual->red_mask) << 16 | channel(pixel, visual->green_mask) << 8 |
          channel(pixel, visual->blue_mask);
    }
  }
  return true;
}
