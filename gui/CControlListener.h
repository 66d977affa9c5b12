#pragma once

#include "gui/CButtonState.h"

#include <cstdint>

class CControl;

// Receives a control's changes; the plug-in editor is the listener of its controls.
class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
};
