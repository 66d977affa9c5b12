#pragma once

// The toolkit's listener interface, which the preset panel's editor implements. Until the
// toolkit provides it, the one call the panel needs is declared here.
#if __has_include("gui/CControlListener.h")
#include "gui/CControlListener.h"
#else
class CControl;

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
};
#endif
