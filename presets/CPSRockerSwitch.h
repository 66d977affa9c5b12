#pragma once

#include "gui/CRockerSwitch.h"

#include <cmath>

// The preset panel's previous/next rocker: a press on the left half reports -1, on the right
// half (the middle column included) +1; the half under the pointer lights up on hover.
// Five images: rest, hover left, hover right, pressed left, pressed right.
class CPSRockerSwitch : public CRockerSwitch {
 public:
  CPSRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                  CCoord heightOfOneImage, CBitmap* background, const CPoint& offset,
                  int32_t style = kHorizontal);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

  int32_t getHoverSide() const { return hoverSide; }
  int32_t imageIndex() const;

 private:
  // Pointer positions are whole pixels: on an odd width the centre column (328 of 313..343)
  // is the first of the right half.
  CCoord middle() const { return size.left + std::floor(size.getWidth() / 2); }

  int32_t hoverSide = 0;
};
