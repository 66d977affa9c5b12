#pragma once

#include "gui/CControl.h"

// A multi-position switch chosen by the horizontal position of the pointer; images stacked
// vertically, one per position.
class CHorizontalSwitch : public CControl {
 public:
  CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                    CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                    const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CHorizontalSwitch(*this); }

 protected:
  CPoint offset;
  int32_t subPixmaps;
  CCoord heightOfOneImage;
  int32_t maxPositions;
  double coef = 1;
};
