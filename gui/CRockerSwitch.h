#pragma once

#include "gui/CControl.h"

enum CRockerStyle {
  kHorizontal = 1 << 0,
};

// A three-position rocker: -1 / 0 / +1, resting in the middle. The subclass draws it from its
// strip and handles the presses; the offset and style are not used.
class CRockerSwitch : public CControl {
 public:
  CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0),
                int32_t style = kHorizontal);

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CRockerSwitch(*this); }

 protected:
  CCoord heightOfOneImage;
};
