#pragma once

#include "gui/CControl.h"

enum CRockerStyle {
  kHorizontal = 1 << 0,
  kVertical = 1 << 1,
};

// A three-position rocker: -1 / 0 / +1 while pressed on either half, back to the middle on
// release. Three images stacked: min, middle, max.
class CRockerSwitch : public CControl {
 public:
  CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                const CPoint& offset = CPoint(0, 0), int32_t style = kHorizontal);
  CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0),
                int32_t style = kHorizontal);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

  int32_t getStyle() const { return style; }
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CRockerSwitch(*this); }

 protected:
  CPoint offset;
  CCoord heightOfOneImage;
  int32_t style;
  float entryState = 0.f;
};
