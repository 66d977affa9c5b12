#pragma once

#include "gui/CControl.h"

// A momentary button: max while pressed with the pointer inside, back to min on release.
// Two images stacked: released, pressed.
class CKickButton : public CControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CKickButton(*this); }

 protected:
  CPoint offset;
  CCoord heightOfOneImage;
  float entryState = 0.f;
};
