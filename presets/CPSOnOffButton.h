#pragma once

#include "gui/COnOffButton.h"

// An on/off button with a hover image. Three images: off, hover off, on.
class CPSOnOffButton : public COnOffButton {
 public:
  CPSOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

  bool isHovered() const { return hover; }
  int32_t imageIndex() const;

 private:
  bool hover = false;
};
