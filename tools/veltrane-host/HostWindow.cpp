#include "HostWindow.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr auto kMapTimeout = std::chrono::seconds(2);

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

std::unique_ptr<HostWindow> HostWindow::open(const std::string& title, int width, int height,
                                             std::string& error) {
  std::unique_ptr<HostWindow> host(new HostWindow);
  int screenNumber = 0;
  host->connection_ = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(host->connection_)) {
    const char* display = std::getenv("DISPLAY");
    error = std::string("cannot connect to the X display \"") + (display ? display : "") + "\"";
    return nullptr;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(host->connection_));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  host->screen_ = screens.data;
  host->width_ = width;
  host->height_ = height;

  host->window_ = xcb_generate_id(host->connection_);
  const uint32_t values[] = {host->screen_->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(host->connection_, XCB_COPY_FROM_PARENT, host->window_, host->screen_->root, 0,
                    0, static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, host->screen_->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

  xcb_connection_t* c = host->connection_;
  const xcb_window_t w = host->window_;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      static_cast<uint32_t>(title.size()), title.data());
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, host->atom("_NET_WM_NAME"),
                      host->atom("UTF8_STRING"), 8, static_cast<uint32_t>(title.size()),
                      title.data());
  static const char kClass[] = "veltrane-host\0Veltrane-host";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      sizeof(kClass), kClass);
  host->protocolsAtom_ = host->atom("WM_PROTOCOLS");
  host->deleteWindowAtom_ = host->atom("WM_DELETE_WINDOW");
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, host->protocolsAtom_, XCB_ATOM_ATOM, 32, 1,
                      &host->deleteWindowAtom_);
  host->setFixedSize(width, height);
  xcb_map_window(c, w);
  host->waitUntilMapped();
  return host;
}

HostWindow::~HostWindow() {
  if (!connection_) return;
  if (window_ && !destroyed_) xcb_destroy_window(connection_, window_);
  xcb_disconnect(connection_);
}

xcb_atom_t HostWindow::atom(const char* name) {
  Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr));
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The editor has the size it asks for; window managers should not offer to change it.
void HostWindow::setFixedSize(int width, int height) {
  constexpr uint32_t kProgramSize = 1u << 3, kMinSize = 1u << 4, kMaxSize = 1u << 5;
  uint32_t hints[18] = {};
  hints[0] = kProgramSize | kMinSize | kMaxSize;
  hints[3] = hints[5] = hints[7] = static_cast<uint32_t>(width);
  hints[4] = hints[6] = hints[8] = static_cast<uint32_t>(height);
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
}

void HostWindow::waitUntilMapped() {
  xcb_flush(connection_);
  const auto deadline = std::chrono::steady_clock::now() + kMapTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
      if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) return;
    }
    if (xcb_connection_has_error(connection_)) return;
    waitForEvents(std::chrono::milliseconds(20));
  }
}

void HostWindow::resize(int width, int height) {
  width_ = width;
  height_ = height;
  setFixedSize(width, height);
  const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                       size);
  xcb_flush(connection_);
}

bool HostWindow::handleEvents() {
  while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
    switch (event->response_type & 0x7f) {
      case XCB_CLIENT_MESSAGE: {
        auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
        if (message->type == protocolsAtom_ && message->data.data32[0] == deleteWindowAtom_)
          closeRequested_ = true;
        break;
      }
      case XCB_DESTROY_NOTIFY:
        if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event.get())->window == window_)
          destroyed_ = true;
        break;
      default:
        break;
    }
  }
  return !closeRequested_ && !destroyed_ && !xcb_connection_has_error(connection_);
}

void HostWindow::waitForEvents(std::chrono::milliseconds timeout) {
  xcb_flush(connection_);
  pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
  poll(&fd, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(timeout.count(), 0)));
}

bool HostWindow::capture(PixelImage& image, std::string& error) {
  if (destroyed_ || xcb_connection_has_error(connection_)) {
    error = "the window is gone";
    return false;
  }
  Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr));
  if (!geometry) {
    error = "the window is gone";
    return false;
  }
  // GetImage of a window copies what is on screen inside it: the children the plug-in drew
  // into are part of it, as long as nothing covers the window.
  xcb_generic_error_t* failure = nullptr;
  Reply<xcb_get_image_reply_t> reply(
      xcb_get_image_reply(connection_,
                          xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, 0, 0,
                                        geometry->width, geometry->height, ~0u),
                          &failure));
  Reply<xcb_generic_error_t> failed(failure);
  if (!reply) {
    error = "the window is not entirely on screen";
    return false;
  }
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  int bitsPerPixel = 0, scanlinePad = 0;
  for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
       xcb_format_next(&formats)) {
    if (formats.data->depth == reply->depth) {
      bitsPerPixel = formats.data->bits_per_pixel;
      scanlinePad = formats.data->scanline_pad;
    }
  }
  Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
      connection_, xcb_get_window_attributes(connection_, window_), nullptr));
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
