#pragma once

#include "gui/CColor.h"
#include "gui/CControl.h"

// A rotary control. Dragged around its centre (circular mode) or in a straight line (linear
// mode, chosen by the frame's knob mode; Alt swaps the two).
class CKnob : public CControl {
 public:
  CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
        CBitmap* handle, const CPoint& offset = CPoint(0, 0));
  CKnob(const CKnob& other);
  ~CKnob() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  // The value at a point given relative to the view's top-left corner.
  virtual float valueFromPoint(CPoint& point) const;
  virtual void valueToPoint(CPoint& point) const;

  void setStartAngle(float val) { startAngle = val; }
  float getStartAngle() const { return startAngle; }
  void setRangeAngle(float val) { rangeAngle = val; }
  float getRangeAngle() const { return rangeAngle; }
  void setZoomFactor(float val) { zoomFactor = val; }
  float getZoomFactor() const { return zoomFactor; }
  void setInsetValue(CCoord val) { inset = val; }
  CCoord getInsetValue() const { return inset; }
  void setColorHandle(const CColor& c) { colorHandle = c; }
  void setColorShadowHandle(const CColor& c) { colorShadowHandle = c; }
  virtual void setHandleBitmap(CBitmap* bitmap);

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CKnob(*this); }

 protected:
  virtual void drawHandle(CDrawContext* context);

  CPoint offset;
  CBitmap* handleBitmap = nullptr;
  CColor colorHandle = kWhiteCColor;
  CColor colorShadowHandle = kGreyCColor;
  float startAngle;
  float rangeAngle;
  float zoomFactor = 1.5f;
  CCoord inset;

  // Drag state.
  CPoint firstPoint;
  CPoint lastPoint;
  float startValue = 0.f;
  float entryState = 0.f;
  float coef = 0.f;
  CCoord range = 200;
  CButtonState oldButton;
  bool modeLinear = false;
};
