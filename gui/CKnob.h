#pragma once

#include "gui/CControl.h"

// A rotary control and the dial the editor's knobs measure angles against. Its own gesture is
// a straight drag, up or right, 200 pixels over the range; the editor's knobs draw themselves
// and handle their own gestures.
class CKnob : public CControl {
 public:
  // A handle picture only sets the dial's inset (half its width and a margin); the offset is
  // not used.
  CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
        CBitmap* handle, const CPoint& offset = CPoint(0, 0));
  CKnob(const CKnob& other);

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

  // The value at a point given relative to the view's top-left corner.
  virtual float valueFromPoint(CPoint& point) const;

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CKnob(*this); }

 protected:
  float startAngle;
  float rangeAngle;
  CCoord inset;

  // Drag state.
  CPoint firstPoint;
  float startValue = 0.f;
};
