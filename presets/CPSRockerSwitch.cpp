#include "presets/CPSRockerSwitch.h"

#include "gui/CBitmap.h"

CPSRockerSwitch::CPSRockerSwitch(const CRect& r, CControlListener* l, int32_t t, CCoord h,
                                 CBitmap* bitmap, const CPoint& o, int32_t s)
    : CRockerSwitch(r, l, t, h, bitmap, o, s) {}

int32_t CPSRockerSwitch::imageIndex() const {
  if (value == -1.f) return 3;
  if (value == 1.f) return 4;
  return hoverSide < 0 ? 1 : hoverSide > 0 ? 2 : 0;
}

void CPSRockerSwitch::draw(CDrawContext* context) {
  if (background) background->draw(context, size, CPoint(0, imageIndex() * heightOfOneImage));
  setDirty(false);
}

CMouseEventResult CPSRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value = where.x < middle() ? -1.f : 1.f;
  invalid();
  if (listener) listener->valueChanged(this);
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
  value = 0.f;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (buttons & kLButton) return kMouseEventHandled;
  return onMouseEntered(where, buttons);
}

CMouseEventResult CPSRockerSwitch::onMouseEntered(CPoint& where, const CButtonState&) {
  const int32_t side = where.x >= middle() ? 1 : -1;
  if (side != hoverSide) {
    hoverSide = side;
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseExited(CPoint&, const CButtonState&) {
  hoverSide = 0;
  invalid();
  return kMouseEventHandled;
}
