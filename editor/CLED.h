#pragma once

#include "gui/CControl.h"

// The clip indicator: a three-state lamp (off, clipped earlier and held, clipping now) that
// shows the value the editor gives it; a left click asks the editor to clear it.
class CLED : public CControl {
 public:
  CLED(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap);
  CLED(const CLED&) = delete;
  CLED& operator=(const CLED&) = delete;
  ~CLED() override;

  // Unclamped and silent: the value only decides the image.
  void setValue(float v) override;
  void resetHold();

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

 private:
  CBitmap* bitmap;
  // The images' offsets in the bitmap: off, held (clipped earlier), on (clipping now).
  CPoint offsetOff;
  CPoint offsetHeld;
  CPoint offsetOn;
};
