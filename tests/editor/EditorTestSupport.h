#pragma once

// Shared by the editor window tests: a plug-in instance with its own preference folder and a
// host that records the calls the window makes, the editor opened headless, mouse gestures
// delivered through the frame as the window would deliver them, and the window's drawing
// compared with the committed pictures.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/ADEditor.h"
#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/CairoHandles.h"
#include "gui/ImageStrip.h"
#include "plugin/Veltrane.h"
#include "tests/support/TempDir.h"

namespace editortest {

// One call the plug-in made on its host: automation (value: the automated value), an edit
// bracket, or a window size request (index x value: the size).
struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  float value;
  bool operator==(const HostCall&) const = default;
};

// The host's calls, from any thread; whether it says it can resize the editor's window.
struct HostRecord {
  std::mutex mutex;
  std::vector<HostCall> calls;
  bool canResize = false;
  std::vector<HostCall> take() {
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(calls, {});
  }
};

inline HostRecord& hostRecord() {
  static HostRecord record;
  return record;
}

inline VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt) {
  HostRecord& r = hostRecord();
  if (opcode == audioMasterCanDo)
    return std::string_view(static_cast<const char*>(ptr)) == "sizeWindow" && r.canResize ? 1 : -1;
  if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit ||
      opcode == audioMasterEndEdit || opcode == audioMasterSizeWindow) {
    std::lock_guard<std::mutex> lock(r.mutex);
    r.calls.push_back({opcode, index, opcode == audioMasterSizeWindow ? value : opt});
  }
  return opcode == audioMasterVersion ? kVstVersion : opcode == audioMasterSizeWindow;
}

inline HostCall beginEdit(int tag) { return {audioMasterBeginEdit, tag, 0.f}; }
inline HostCall endEdit(int tag) { return {audioMasterEndEdit, tag, 0.f}; }

// A distinct value for every parameter, so a control wired to the wrong one shows.
inline float distinctValue(int index) { return static_cast<float>((index * 7) % 40 + 1) / 41.f; }

// One picture of a strip drawn into an area: image `image` of `images` stacked ones; with no
// images, the region of a picture the window's size at the area's place.
struct Layer {
  CResourceDescription bitmap;
  int images;
  int image;
};

// A pixel's red, green and blue in an image surface.
inline uint32_t rgb(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const unsigned char* row =
      cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const uint32_t*>(row)[x] & 0xffffff;
}

class EditorTest : public testing::Test {
 protected:
  TempDir config;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};
  std::unique_ptr<Veltrane> effect = std::make_unique<Veltrane>(recordingHost);
  ADEditor* editor = dynamic_cast<ADEditor*>(effect->getEditor());

  void SetUp() override {
    ASSERT_NE(editor, nullptr);
    hostRecord().canResize = false;
    hostRecord().take();
  }

  void setAllDistinct() {
    for (int i = 0; i < kNumParameters; ++i) effect->setParameter(i, distinctValue(i));
  }
  void open() {
    ASSERT_TRUE(editor->open(nullptr));
    ASSERT_NE(frame(), nullptr);
  }
  CFrame* frame() const { return editor->getFrame(); }

  // The control with this tag among the window's own controls (not the panel's).
  template <typename Control = CControl>
  Control* control(int32_t tag) const {
    for (int32_t i = 0; frame() && i < frame()->getNbViews(); ++i) {
      auto* c = dynamic_cast<CControl*>(frame()->getView(i));
      if (c && c->getTag() == tag) return dynamic_cast<Control*>(c);
    }
    return nullptr;
  }

  void click(double x, double y, int64_t buttons = kLButton) {
    CPoint p(x, y);
    frame()->onMouseDown(p, CButtonState(buttons));
    frame()->onMouseUp(p, CButtonState(buttons));
  }
  // A straight drag with the left button in `steps` moves.
  void drag(CPoint from, CPoint to, int steps) {
    const CButtonState buttons(kLButton);
    CPoint p(from);
    frame()->onMouseDown(p, buttons);
    for (int s = 1; s <= steps; ++s) {
      CPoint q(from.x + (to.x - from.x) * s / steps, from.y + (to.y - from.y) * s / steps);
      frame()->onMouseMoved(q, buttons);
    }
    frame()->onMouseUp(to, buttons);
  }

  // The pixels of `area` in the window's last drawing that differ from the pictures painted
  // there by hand, the first layer at the bottom.
  int differences(const CRect& area, std::initializer_list<Layer> layers) const {
    const int w = static_cast<int>(area.getWidth()), h = static_cast<int>(area.getHeight());
    CairoSurfacePtr expected(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
    cairo_t* cr = cairo_create(expected.get());
    for (const Layer& layer : layers) {
      OwningPointer<CBitmap> bitmap(new CBitmap(layer.bitmap));
      const double left = layer.images ? 0 : area.left;
      const double top = layer.images ? layer.image * bitmap->getHeight() / layer.images : area.top;
      cairo_set_source_surface(cr, bitmap->getSurface(), -left, -top);
      cairo_paint(cr);
    }
    cairo_destroy(cr);
    int count = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        count += rgb(frame()->getBackBuffer(), static_cast<int>(area.left) + x,
                     static_cast<int>(area.top) + y) != rgb(expected.get(), x, y);
    return count;
  }
};

}  // namespace editortest
