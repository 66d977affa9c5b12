#pragma once

#include "gui/CKnob.h"

// A knob drawn from a vertical strip of pre-rendered images, one per position; the subclass
// chooses the image.
class CAnimKnob : public CKnob {
 public:
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage; }

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CAnimKnob(*this); }

 protected:
  int32_t subPixmaps;
  CCoord heightOfOneImage;
};
