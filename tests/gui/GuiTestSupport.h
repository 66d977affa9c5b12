#pragma once

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using Calls = std::vector<std::string>;

// Records listener and host calls in the order they happen.
struct CallLog : CControlListener, VSTGUIEditorInterface {
  std::vector<std::string> calls;
  int32_t knobMode = kCircularMode;

  static std::string num(float v) {
    char b[32];
    std::snprintf(b, sizeof(b), "%.4g", static_cast<double>(v));
    return b;
  }
  void valueChanged(CControl* c) override {
    calls.push_back("changed " + std::to_string(c->getTag()) + " " + num(c->getValue()));
  }
  void beginEdit(int32_t tag) override { calls.push_back("begin " + std::to_string(tag)); }
  void endEdit(int32_t tag) override { calls.push_back("end " + std::to_string(tag)); }
  int32_t getKnobMode() const override { return knobMode; }
  void clear() { calls.clear(); }
};

// A headless frame that is closed (and released) at the end of the test.
struct TestFrame {
  explicit TestFrame(CallLog& log, CRect r = CRect(0, 0, 778, 248))
      : frame(new CFrame(r, nullptr, &log)) {}
  ~TestFrame() { frame->close(); }
  CFrame* operator->() const { return frame; }
  CFrame* get() const { return frame; }

  CMouseEventResult down(double x, double y, int64_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->onMouseDown(p, CButtonState(buttons));
  }
  CMouseEventResult move(double x, double y, int64_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->onMouseMoved(p, CButtonState(buttons));
  }
  CMouseEventResult up(double x, double y, int64_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->onMouseUp(p, CButtonState(buttons));
  }
  bool wheel(double x, double y, float distance, int64_t buttons = 0) {
    return frame->onWheel(CPoint(x, y), distance, CButtonState(buttons));
  }
  // Virtual keys as the host sends them (its own numbers, so a renumbered key shows).
  int32_t key(unsigned char virt, int32_t character = 0) {
    CKeyCode k{character, virt, 0};
    return frame->onKeyDown(k);
  }

  CFrame* frame;
};

// A view that fills itself red when drawn and logs each mouse event it gets: its name, the
// event, where (in its parent's coordinates), and the buttons and modifiers held.
class EventProbe : public CView {
  using Result = CMouseEventResult;
  using B = const CButtonState&;

 public:
  EventProbe(const CRect& r, std::vector<std::string>* log, std::string name = "")
      : CView(r), log(log), name(std::move(name)) {}
  void draw(CDrawContext* context) override {
    ++draws;
    context->setFillColor(MakeCColor(255, 0, 0));
    context->drawRect(size, kDrawFilled);
    setDirty(false);
  }
  Result onMouseDown(CPoint& p, B b) override { return note("down", p, b); }
  Result onMouseUp(CPoint& p, B b) override { return note("up", p, b); }
  Result onMouseMoved(CPoint& p, B b) override { return note("moved", p, b); }
  Result onMouseEntered(CPoint& p, B b) override { return note("in", p, b); }
  Result onMouseExited(CPoint& p, B b) override { return note("out", p, b); }
  bool onWheel(const CPoint& p, const float& distance, B b) override {
    return note(distance > 0 ? "wheel+" : "wheel-", p, b) == kMouseEventHandled;
  }
  Result note(const char* what, const CPoint& p, B b) {
    char line[128];
    std::snprintf(line, sizeof line, "%s%s %g %g%s%s%s%s%s%s", name.c_str(), what, p.x, p.y,
                  b & kLButton ? " L" : "", b & kMButton ? " M" : "", b & kRButton ? " R" : "",
                  b & kShift ? " shift" : "", b & kControl ? " ctrl" : "",
                  b & kDoubleClick ? " double" : "");
    log->emplace_back(line);
    return kMouseEventHandled;
  }
  int draws = 0;

 private:
  std::vector<std::string>* log;
  std::string name;
};

// A strip of `count` images whose every pixel tells its image, row and column, so a wrong
// offset by even one pixel shows.
inline CBitmap* makeStrip(int width, int imageHeight, int count) {
  auto* bitmap = new CBitmap(width, imageHeight * count);
  cairo_surface_t* s = bitmap->getSurface();
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < imageHeight * count; ++y)
    for (int x = 0; x < width; ++x) {
      auto* px = reinterpret_cast<uint32_t*>(data + y * stride) + x;
      const uint32_t k = static_cast<uint32_t>(y / imageHeight);
      *px = 0xff000000u | ((k * 23 + 5) & 0xff) << 16 |
            (static_cast<uint32_t>(y % imageHeight) * 7 & 0xff) << 8 |
            (static_cast<uint32_t>(x) * 5 & 0xff);
    }
  cairo_surface_mark_dirty(s);
  return bitmap;
}

inline uint32_t pixelAt(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  return reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(s))[x] &
         0xffffff;
}

// Number of pixels in `area` of the rendered surface that differ from the bitmap's region
// starting at `source`.
inline int countDifferences(cairo_surface_t* rendered, const CRect& area, CBitmap* bitmap,
                            CPoint source) {
  int differences = 0;
  for (int y = 0; y < static_cast<int>(area.getHeight()); ++y)
    for (int x = 0; x < static_cast<int>(area.getWidth()); ++x)
      if (pixelAt(rendered, static_cast<int>(area.left) + x, static_cast<int>(area.top) + y) !=
          pixelAt(bitmap->getSurface(), static_cast<int>(source.x) + x,
                  static_cast<int>(source.y) + y))
        ++differences;
  return differences;
}

// Renders a single view into a fresh image surface of the frame's size.
inline CairoSurfacePtr renderView(CView* view, int width = 778, int height = 248) {
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  CDrawContext context(surface.get());
  view->draw(&context);
  cairo_surface_flush(surface.get());
  return surface;
}

// Text is drawn as in the committed pictures only with the face they were made with:
// Liberation Sans standing in for Arial (Debian's fonts-liberation2).
inline bool arialIsLiberationSans() {
  FILE* p = popen("fc-match -f '%{family}' Arial 2>/dev/null", "r");
  if (!p) return false;
  char family[128] = {};
  const bool got = std::fgets(family, sizeof(family), p) != nullptr;
  pclose(p);
  return got && std::strstr(family, "Liberation Sans");
}

#ifdef VT_GUI_REFERENCE_DIR
// Pixels of `s` that differ from the committed picture tests/gui/reference/<name> (-1 when it
// is missing or of another size). VELTRANE_UPDATE_REFERENCES=1 writes the picture first; look
// at it before committing it.
inline int differencesFromReference(cairo_surface_t* s, const std::string& name) {
  const std::string path = std::string(VT_GUI_REFERENCE_DIR) + "/" + name;
  cairo_surface_flush(s);
  if (std::getenv("VELTRANE_UPDATE_REFERENCES")) cairo_surface_write_to_png(s, path.c_str());
  CairoSurfacePtr reference(cairo_image_surface_create_from_png(path.c_str()));
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  if (cairo_surface_status(reference.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_image_surface_get_width(reference.get()) != w ||
      cairo_image_surface_get_height(reference.get()) != h)
    return -1;
  int differences = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) differences += pixelAt(s, x, y) != pixelAt(reference.get(), x, y);
  return differences;
}
#endif
