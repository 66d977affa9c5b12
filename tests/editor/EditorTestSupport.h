#pragma once

// Shared by the editor window tests: a plug-in instance with its own preference folder and a
// host that records the calls the window makes, the editor opened headless, and mouse
// gestures delivered through the frame as the window would deliver them.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "editor/ADEditor.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "plugin/Veltrane.h"
#include "tests/support/TempDir.h"

namespace editortest {

// One call the plug-in made on its host; `value` is the float argument (the automated value).
struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  float value;
  bool operator==(const HostCall& o) const {
    return opcode == o.opcode && index == o.index && value == o.value;
  }
};

inline std::ostream& operator<<(std::ostream& out, const HostCall& c) {
  return out << "{" << c.opcode << ", " << c.index << ", " << c.value << "}";
}

// Records automation and edit brackets from any thread.
class HostRecord {
 public:
  void add(const HostCall& call) {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(call);
  }
  std::vector<HostCall> take() {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<HostCall> taken;
    taken.swap(calls);
    return taken;
  }

 private:
  std::mutex mutex;
  std::vector<HostCall> calls;
};

inline HostRecord& hostRecord() {
  static HostRecord record;
  return record;
}

inline VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                               float opt) {
  if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit ||
      opcode == audioMasterEndEdit)
    hostRecord().add({opcode, index, opcode == audioMasterAutomate ? opt : 0.f});
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

inline HostCall beginEdit(int tag) { return {audioMasterBeginEdit, tag, 0.f}; }
inline HostCall endEdit(int tag) { return {audioMasterEndEdit, tag, 0.f}; }

// A distinct value for every parameter, so a control wired to the wrong one shows.
inline float distinctValue(int index) { return static_cast<float>((index * 7) % 40 + 1) / 41.f; }

class EditorTest : public testing::Test {
 protected:
  TempDir config;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};
  std::unique_ptr<Veltrane> effect = std::make_unique<Veltrane>(recordingHost);
  ADEditor* editor = dynamic_cast<ADEditor*>(effect->getEditor());

  void SetUp() override {
    ASSERT_NE(editor, nullptr);
    hostRecord().take();
  }
  void TearDown() override { hostRecord().take(); }

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

  // Whether the last idle's drawing covered the whole of `area`.
  bool wasRedrawn(const CRect& area) const {
    for (const CRect& r : frame()->getLastRenderedRects()) {
      CRect inter(r);
      if (inter.bound(area) == area) return true;
    }
    return false;
  }

  void click(double x, double y, int64_t buttons = kLButton) {
    CPoint p(x, y);
    frame()->onMouseDown(p, CButtonState(buttons));
    frame()->onMouseUp(p, CButtonState(buttons));
  }
  // A straight drag with the left button, in `steps` moves.
  void drag(CPoint from, CPoint to, int steps = 4) {
    CPoint p(from);
    frame()->onMouseDown(p, CButtonState(kLButton));
    for (int s = 1; s <= steps; ++s) {
      CPoint q(from.x + (to.x - from.x) * s / steps, from.y + (to.y - from.y) * s / steps);
      frame()->onMouseMoved(q, CButtonState(kLButton));
    }
    CPoint end(to);
    frame()->onMouseUp(end, CButtonState(kLButton));
  }
};

}  // namespace editortest
