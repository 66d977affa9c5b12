#pragma once

#include "gui/CControl.h"

// The clip indicator: a three-state lamp (off, clipped earlier and held, clipping now) that
// shows the value the editor gives it; a left click asks the editor to clear it.
class CLED : public CControl {
 public:
  CLED(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap);
  CLED(const CLED& other);
  ~CLED() override;

  virtual bool getHold() const;
  // Unclamped and silent: the value only decides the image.
  void setValue(float v) override;
  virtual void resetHold();

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CView* newCopy() const override { return new CLED(*this); }
  bool isTypeOf(const char* type) const override;

  // The image offsets, computed from the bitmap height h: off (0, 0), held (0, h/3),
  // on (0, 2h/3).
  CPoint offOffset() const { return offsetOff; }
  CPoint heldOffset() const { return offsetHeld; }
  CPoint onOffset() const { return offsetOn; }

 private:
  CBitmap* bitmap;
  CPoint offsetOff;
  CPoint offsetHeld;
  CPoint offsetOn;
};
