#pragma once

#include "gui/CControl.h"

// A toggle between min and max; the subclass draws it and handles the click.
class COnOffButton : public CControl {
 public:
  COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background);

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new COnOffButton(*this); }
};
