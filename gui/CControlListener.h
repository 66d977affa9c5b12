#pragma once

#include "gui/CButtonState.h"

#include <cstdint>

class CControl;

// Receives a control's changes; the plug-in editor is the listener of its controls.
class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  // Non-zero when the listener consumed a click made with a modifier held.
  virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*button*/) {
    return 0;
  }
  virtual void controlBeginEdit(CControl* /*control*/) {}
  virtual void controlEndEdit(CControl* /*control*/) {}
};
