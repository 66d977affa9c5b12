#include "presets/CPSOnOffButton.h"

#include "gui/CBitmap.h"

CPSOnOffButton::CPSOnOffButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap)
    : COnOffButton(r, l, t, bitmap) {}

int32_t CPSOnOffButton::imageIndex() const {
  if (hover) return value == 0.f ? 1 : value == 1.f ? 2 : 0;
  return value == 1.f ? 2 : 0;
}

void CPSOnOffButton::draw(CDrawContext* context) {
  if (background)
    background->draw(context, size, CPoint(0, imageIndex() * (background->getHeight() / 3)));
  setDirty(false);
}

CMouseEventResult CPSOnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value = 1.f - value;
  if (listener) listener->valueChanged(this);
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CPSOnOffButton::onMouseEntered(CPoint&, const CButtonState&) {
  hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSOnOffButton::onMouseExited(CPoint&, const CButtonState&) {
  hover = false;
  invalid();
  return kMouseEventHandled;
}
