#pragma once

#include "gui/CKnob.h"

// A knob drawn from a vertical strip of pre-rendered images, one per position.
class CAnimKnob : public CKnob {
 public:
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
  // The image count follows from the bitmap height and the view height.
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
            const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;

  void setInverseBitmap(bool state) { inverseBitmap = state; }
  bool getInverseBitmap() const { return inverseBitmap; }
  int32_t getNumSubPixmaps() const { return subPixmaps; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  void setNumSubPixmaps(int32_t n) { subPixmaps = n; }
  void setHeightOfOneImage(CCoord h) { heightOfOneImage = h; }

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CAnimKnob(*this); }

 protected:
  int32_t subPixmaps;
  CCoord heightOfOneImage;
  bool inverseBitmap = false;
};
