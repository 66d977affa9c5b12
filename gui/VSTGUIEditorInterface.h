#pragma once

#include <cstdint>

enum CKnobMode {
  kCircularMode = 0,
  kRelativCircularMode = 1,
  kLinearMode = 2,
};

// What the frame needs from the plug-in editor that owns it: gesture brackets for the host
// and the knob mode the host chose.
class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;
  virtual void beginEdit(int32_t /*index*/) {}
  virtual void endEdit(int32_t /*index*/) {}
  virtual int32_t getKnobMode() const { return kCircularMode; }
};
