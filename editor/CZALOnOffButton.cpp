#include "editor/CZALOnOffButton.h"

#include "gui/CBitmap.h"

#include <cmath>

CZALOnOffButton::CZALOnOffButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap)
    : CControl(r, l, t, bitmap) {}

void CZALOnOffButton::draw(CDrawContext* context) {
  if (background) {
    const CCoord off = value >= 0.5f ? background->getHeight() / 2 : 0;
    background->draw(context, size, CPoint(0, off));
  }
  setDirty(false);
}

CMouseEventResult CZALOnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value = std::lround(value) != 0 ? 0.f : 1.f;
  beginEdit();
  valueChanged();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
