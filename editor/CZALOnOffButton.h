#pragma once

#include "gui/CControl.h"

// The editor's two-state button: each left click flips between 0 and 1 as one gesture. The
// bitmap's upper half is the off image, the lower half the on image.
class CZALOnOffButton : public CControl {
 public:
  CZALOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
};
