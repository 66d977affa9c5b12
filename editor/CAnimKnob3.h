#pragma once

#include "gui/CAnimKnob.h"

// The editor's single knob: an image strip dragged in a straight line. A full sweep takes
// 1000 x dragZoom drag units, with or without Shift; a pixel upwards counts two units, a
// pixel to the right one. The movement is accumulated, so after running into an end the knob
// only comes back once the extra distance has been retraced.
class CAnimKnob3 : public CAnimKnob {
 public:
  CAnimKnob3(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
             int32_t imageWidth, int32_t heightOfOneImage, CBitmap* background,
             const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  double dragZoom = 1.0;

 private:
  bool dragging = false;
  float startValue = 0.f;
  float sensitivity = 0.f;
  CPoint anchor;
  CPoint previous;
  CPoint accumulated;
};
