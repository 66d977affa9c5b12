#include "gui/x11/X11Frame.h"

#include "gui/CFrame.h"
#include "gui/CKeyCode.h"
#include "gui/x11/X11Input.h"

#include <cairo-xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_visualtype_t* findVisual(xcb_connection_t* c, xcb_visualid_t id) {
  for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(c)); screens.rem;
       xcb_screen_next(&screens))
    for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
         xcb_depth_next(&depths))
      for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
           xcb_visualtype_next(&visuals))
        if (visuals.data->visual_id == id) return visuals.data;
  return nullptr;
}

}  // namespace

std::unique_ptr<IPlatformFrame> createPlatformFrame(CFrame& frame, void* parentWindow) {
  return X11Frame::open(frame, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(parentWindow)));
}

X11Frame::X11Frame(CFrame& f) : frame(f) {}

std::unique_ptr<X11Frame> X11Frame::open(CFrame& frame, uint32_t parentWindow) {
  std::unique_ptr<X11Frame> x11(new X11Frame(frame));
  if (!x11->create(parentWindow)) return nullptr;
  return x11;
}

uint32_t X11Frame::eventMask() const {
  uint32_t mask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                  XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                  XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                  XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_FOCUS_CHANGE;
  if (keyboardCaptured) mask |= XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
  return mask;
}

bool X11Frame::create(xcb_window_t parent) {
  if (parent == 0) return false;
  connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) return false;

  // A parent that does not exist (or is not a window) makes the open fail here.
  XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, parent), nullptr));
  if (!attributes) return false;
  visual = findVisual(connection, attributes->visual);
  if (!visual) return false;

  windowWidth = frame.getDeviceWidth();
  windowHeight = frame.getDeviceHeight();
  window = xcb_generate_id(connection);
  const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, eventMask()};
  xcb_void_cookie_t cookie = xcb_create_window_checked(
      connection, XCB_COPY_FROM_PARENT, window, parent, 0, 0, static_cast<uint16_t>(windowWidth),
      static_cast<uint16_t>(windowHeight), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, attributes->visual,
      XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK, values);
  if (XcbReply<xcb_generic_error_t> error{xcb_request_check(connection, cookie)}) {
    window = 0;
    return false;
  }
  windowAlive = true;

  // Mapped, and saying so: some hosts map the plug-in window, some wait for XEMBED_MAPPED.
  XcbReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, 12, "_XEMBED_INFO"), nullptr));
  if (atom) {
    const uint32_t info[] = {0, 1};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom->atom, atom->atom, 32, 2,
                        info);
  }
  xcb_map_window(connection, window);

  windowSurface.reset(
      cairo_xcb_surface_create(connection, window, visual, windowWidth, windowHeight));
  keySymbols = xcb_key_symbols_alloc(connection);
  xcb_flush(connection);
  return cairo_surface_status(windowSurface.get()) == CAIRO_STATUS_SUCCESS;
}

X11Frame::~X11Frame() {
  if (connection && !xcb_connection_has_error(connection) && keyboardCaptured)
    setKeyboardCapture(false);
  if (windowSurface) {
    cairo_surface_finish(windowSurface.get());
    // cairo keeps per-connection state; it must go before the connection does.
    if (cairo_device_t* device = cairo_surface_get_device(windowSurface.get()))
      cairo_device_finish(device);
    windowSurface.reset();
  }
  if (keySymbols) xcb_key_symbols_free(keySymbols);
  if (connection) {
    if (windowAlive && window) {
      // The host may have destroyed its window (and ours with it) already.
      XcbReply<xcb_generic_error_t> error{
          xcb_request_check(connection, xcb_destroy_window_checked(connection, window))};
    }
    xcb_disconnect(connection);
  }
}

void X11Frame::processEvents() {
  if (!connection || xcb_connection_has_error(connection)) return;
  std::vector<XcbReply<xcb_generic_event_t>> events;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) events.emplace_back(event);
  CBaseObjectGuard guard(&frame);
  for (size_t i = 0; i < events.size(); ++i) {
    // A motion is superseded by the next one only with the same buttons and modifiers:
    // the movement before a Shift press must still be made at the old rate.
    const bool nextIsMotion =
        i + 1 < events.size() && (events[i]->response_type & 0x7f) == XCB_MOTION_NOTIFY &&
        (events[i + 1]->response_type & 0x7f) == XCB_MOTION_NOTIFY &&
        reinterpret_cast<const xcb_motion_notify_event_t*>(events[i].get())->state ==
            reinterpret_cast<const xcb_motion_notify_event_t*>(events[i + 1].get())->state;
    handleEvent(events[i].get(), nextIsMotion);
  }
}

void X11Frame::serviceWhileBlocked() {
  if (!connection || xcb_connection_has_error(connection)) return;
  while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_EXPOSE || type == XCB_CONFIGURE_NOTIFY || type == XCB_DESTROY_NOTIFY)
      handleEvent(event.get(), false);
  }
  copyToWindow({});
}

void X11Frame::scaleFactorChanged() {
  pendingExpose.clear();
  if (!windowAlive || !windowSurface || xcb_connection_has_error(connection)) return;
  windowWidth = frame.getDeviceWidth();
  windowHeight = frame.getDeviceHeight();
  const uint32_t size[] = {static_cast<uint32_t>(windowWidth), static_cast<uint32_t>(windowHeight)};
  xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                       size);
  cairo_xcb_surface_set_size(windowSurface.get(), windowWidth, windowHeight);
  xcb_flush(connection);
}

CPoint X11Frame::toLayout(int16_t x, int16_t y) const {
  const double scale = frame.getScaleFactor();
  return CPoint(x / scale, y / scale);
}

void X11Frame::handleEvent(const xcb_generic_event_t* event, bool nextIsMotion) {
  switch (event->response_type & 0x7f) {
    case 0:
      // An error for an earlier request (e.g. the parent vanished): nothing to do.
      break;
    case XCB_EXPOSE: {
      auto* e = reinterpret_cast<const xcb_expose_event_t*>(event);
      pendingExpose.emplace_back(e->x, e->y, e->x + e->width, e->y + e->height);
      break;
    }
    case XCB_BUTTON_PRESS:
      handleButtonPress(reinterpret_cast<const xcb_button_press_event_t*>(event));
      break;
    case XCB_BUTTON_RELEASE: {
      auto* e = reinterpret_cast<const xcb_button_release_event_t*>(event);
      if (const int64_t bit = buttonFromXButton(e->detail)) {
        CPoint where = toLayout(e->event_x, e->event_y);
        buttonsDown &= ~bit;
        frame.onMouseUp(where, CButtonState(bit | modifiersFromXState(e->state)));
      }
      break;
    }
    case XCB_MOTION_NOTIFY: {
      // Only the latest of a run of motions matters.
      if (nextIsMotion) break;
      auto* e = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
      CPoint where = toLayout(e->event_x, e->event_y);
      releaseLostButtons(where, e->state);
      frame.onMouseMoved(where,
                         CButtonState(buttonsFromXState(e->state) | modifiersFromXState(e->state)));
      break;
    }
    case XCB_ENTER_NOTIFY: {
      auto* e = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
      CPoint where = toLayout(e->event_x, e->event_y);
      releaseLostButtons(where, e->state);
      frame.onMouseMoved(where,
                         CButtonState(buttonsFromXState(e->state) | modifiersFromXState(e->state)));
      break;
    }
    case XCB_LEAVE_NOTIFY: {
      auto* e = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
      if (e->mode == XCB_NOTIFY_MODE_NORMAL) {
        CPoint where = toLayout(e->event_x, e->event_y);
        frame.onMouseExited(where, CButtonState(modifiersFromXState(e->state)));
      }
      break;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
      if (keyboardCaptured)
        handleKey(reinterpret_cast<const xcb_key_press_event_t*>(event),
                  (event->response_type & 0x7f) == XCB_KEY_PRESS);
      break;
    case XCB_FOCUS_OUT: {
      // The user went elsewhere (e.g. clicked into the host): that ends a text edit.
      auto* e = reinterpret_cast<const xcb_focus_out_event_t*>(event);
      if (keyboardCaptured && e->mode == XCB_NOTIFY_MODE_NORMAL &&
          e->detail != XCB_NOTIFY_DETAIL_INFERIOR && e->detail != XCB_NOTIFY_DETAIL_POINTER) {
        previousFocus = 0;
        frame.setFocusView(nullptr);
      }
      break;
    }
    case XCB_CONFIGURE_NOTIFY: {
      auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      if (e->window == window && (e->width != windowWidth || e->height != windowHeight)) {
        windowWidth = e->width;
        windowHeight = e->height;
        cairo_xcb_surface_set_size(windowSurface.get(), windowWidth, windowHeight);
      }
      break;
    }
    case XCB_DESTROY_NOTIFY: {
      auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      if (e->window == window) windowAlive = false;
      break;
    }
    default:
      break;
  }
}

void X11Frame::handleButtonPress(const xcb_button_press_event_t* e) {
  CPoint where = toLayout(e->event_x, e->event_y);
  const CButtonState modifiers(modifiersFromXState(e->state));
  if (e->detail == 4 || e->detail == 5) {
    frame.onWheel(where, e->detail == 4 ? 1.f : -1.f, modifiers);
    return;
  }
  const int64_t bit = buttonFromXButton(e->detail);
  if (!bit) return;
  const bool isDouble = doubleClick.press(e->detail, e->time, where.x, where.y);
  buttonsDown |= bit;
  frame.onMouseDown(
      where, CButtonState(bit | modifiers | (isDouble ? int64_t{kDoubleClick} : int64_t{0})));
}

void X11Frame::releaseLostButtons(const CPoint& where, uint16_t state) {
  // Without its release a drag would never end its gesture, and the host would keep the
  // parameter touched; the pointer's own state tells which buttons are really up.
  const int64_t lost = buttonsDown & ~buttonsFromXState(state);
  if (!lost) return;
  buttonsDown &= ~lost;
  for (const int64_t bit : {int64_t{kLButton}, int64_t{kMButton}, int64_t{kRButton}})
    if (lost & bit) {
      CPoint p(where);
      frame.onMouseUp(p, CButtonState(bit | modifiersFromXState(state)));
    }
}

void X11Frame::handleKey(const xcb_key_press_event_t* e, bool down) {
  if (!keySymbols) return;
  const bool shift = (e->state & XCB_MOD_MASK_SHIFT) != 0;
  uint32_t sym = xcb_key_symbols_get_keysym(keySymbols, e->detail, shift ? 1 : 0);
  if (sym == 0 && shift) sym = xcb_key_symbols_get_keysym(keySymbols, e->detail, 0);
  CKeyCode key;
  if (!keyCodeFromKeysym(sym, e->state, key)) return;
  if (down)
    frame.onKeyDown(key);
  else
    frame.onKeyUp(key);
}

void X11Frame::copyToWindow(const std::vector<CRect>& rects) {
  // The frame's regions are in layout pixels; the window wants every device pixel they touch.
  const double scale = frame.getScaleFactor();
  std::vector<CRect> all;
  all.reserve(rects.size() + pendingExpose.size());
  for (const CRect& r : rects)
    all.emplace_back(std::floor(r.left * scale), std::floor(r.top * scale),
                     std::ceil(r.right * scale), std::ceil(r.bottom * scale));
  all.insert(all.end(), pendingExpose.begin(), pendingExpose.end());
  pendingExpose.clear();
  if (all.empty() || !windowAlive || !windowSurface || xcb_connection_has_error(connection)) return;
  blit(all);
  xcb_flush(connection);
}

void X11Frame::blit(const std::vector<CRect>& deviceRects) {
  CairoContextPtr cr(cairo_create(windowSurface.get()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  const CRect frameRect(0, 0, frame.getDeviceWidth(), frame.getDeviceHeight());
  const CColor back = frame.getBackgroundColor();
  for (const CRect& r : deviceRects) {
    CRect inside(r);
    inside.bound(frameRect);
    if (!inside.isEmpty()) {
      cairo_set_source_surface(cr.get(), frame.getBackBuffer(), 0, 0);
      cairo_rectangle(cr.get(), inside.left, inside.top, inside.getWidth(), inside.getHeight());
      cairo_fill(cr.get());
    }
    // A host may make our window larger than the editor: the rest shows the background colour.
    const CRect outside[] = {CRect(std::max(r.left, frameRect.right), r.top, r.right, r.bottom),
                             CRect(r.left, std::max(r.top, frameRect.bottom),
                                   std::min(r.right, frameRect.right), r.bottom)};
    for (const CRect& o : outside) {
      if (o.isEmpty()) continue;
      cairo_set_source_rgb(cr.get(), back.red / 255.0, back.green / 255.0, back.blue / 255.0);
      cairo_rectangle(cr.get(), o.left, o.top, o.getWidth(), o.getHeight());
      cairo_fill(cr.get());
    }
  }
  cr.reset();
  cairo_surface_flush(windowSurface.get());
}

bool X11Frame::haveInputFocus() {
  XcbReply<xcb_get_input_focus_reply_t> focus(
      xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  return focus && focus->focus == window;
}

void X11Frame::setKeyboardCapture(bool capture) {
  if (capture == keyboardCaptured || !connection || xcb_connection_has_error(connection)) return;
  keyboardCaptured = capture;
  const uint32_t mask = eventMask();
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
  if (capture) {
    XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
      XcbReply<xcb_get_input_focus_reply_t> focus(
          xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
      previousFocus = focus ? focus->focus : 0;
      xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    }
  } else if (previousFocus > XCB_INPUT_FOCUS_POINTER_ROOT && haveInputFocus()) {
    // Give the keyboard back to whoever had it, so the host's shortcuts work again.
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, previousFocus, XCB_CURRENT_TIME);
    previousFocus = 0;
  }
  xcb_flush(connection);
}
