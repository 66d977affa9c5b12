#include "HostWindow.h"

#include "WindowCapture.h"

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

int HostWindow::childCount() {
  Reply<xcb_query_tree_reply_t> tree(
      xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window_), nullptr));
  return tree ? xcb_query_tree_children_length(tree.get()) : -1;
}

bool HostWindow::capture(PixelImage& image, std::string& error) {
  if (destroyed_ || xcb_connection_has_error(connection_)) {
    error = "the window is gone";
    return false;
  }
  return captureWindow(connection_, window_, image, error);
}
