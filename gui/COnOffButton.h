#pragma once

#include "gui/CControl.h"

// A toggle between min and max; the bitmap's upper half is off, the lower half on.
class COnOffButton : public CControl {
 public:
  COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               int32_t style = 0);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

  int32_t getStyle() const { return style; }
  void setStyle(int32_t val) { style = val; }
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new COnOffButton(*this); }

 protected:
  int32_t style;
};
