#pragma once

#include "gui/CButtonState.h"
#include "gui/CPoint.h"

#include <cstdint>

enum CKnobMode {
  kCircularMode = 0,
  kRelativCircularMode = 1,
  kLinearMode = 2,
};

// What the frame needs from the plug-in editor that owns it: gesture brackets for the host,
// the knob mode the host chose, and presses on the window's own background.
class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;
  virtual void beginEdit(int32_t /*index*/) {}
  virtual void endEdit(int32_t /*index*/) {}
  virtual int32_t getKnobMode() const { return kCircularMode; }
  // A press that landed on no view (frame coordinates); true when the editor took it.
  virtual bool onBackgroundMouseDown(const CPoint& /*where*/, const CButtonState& /*buttons*/) {
    return false;
  }
};
