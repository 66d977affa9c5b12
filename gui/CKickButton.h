#pragma once

#include "gui/CControl.h"

// A momentary button: max while pressed with the pointer inside, back to min on release. The
// subclasses draw it from a strip of images of `heightOfOneImage`.
class CKickButton : public CControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint(0, 0));

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CKickButton(*this); }

 protected:
  CPoint offset;
  CCoord heightOfOneImage;
};
