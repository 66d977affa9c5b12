#pragma once

#include "gui/CKnob.h"

// The band knob: a centre knob (the base's value) and a ring around it (the ext value), each
// an image strip drawn into the same image rectangle. A press farther than intRadius from the
// centre point edits the ring, any other the centre; extActive tells the listener which.
class CAnimCoaxKnob : public CKnob {
 public:
  CAnimCoaxKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t images,
                int32_t imageHeight, CBitmap* background, const CPoint& offset, long margin);
  CAnimCoaxKnob(const CAnimCoaxKnob&) = delete;
  CAnimCoaxKnob& operator=(const CAnimCoaxKnob&) = delete;
  ~CAnimCoaxKnob() override;

  // Unclamped and silent; marks the knob for redrawing.
  void setValue(float v) override;
  void setStep(float s) { step = s / 4; }
  void setExtValue(float v) { extValue = v; }
  float getExtValue() const { return extValue; }
  void setIntRadius(const CPoint& centre, float radius);
  void setExtBitmap(CBitmap* bitmap, long images);

  bool isExtActive() const { return extActive; }

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

 private:
  float distanceToCentre(const CPoint& p) const;
  float circularValue(const CPoint& where) const;

  CRect imageRect;
  long margin;
  CPoint centrePoint;
  float intRadius;
  long images;
  long imageHeight;
  CBitmap* extBitmap = nullptr;
  long extImages = 0;
  float extValue = 0.f;
  float extMin = 0.f;
  float extMax = 1.f;
  float step = 1.f / 512;
  bool extActive = false;

  // Drag state.
  bool linear = false;
  float startValue = 0.f;
  float sensitivity = 0.f;
  float halfRange = 0.f;
  float lastCircular = 0.f;
  CButtonState buttonsAtDown;
  CPoint anchor;
  CPoint previous;
  CPoint accumulated;
};
