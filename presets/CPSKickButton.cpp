#include "presets/CPSKickButton.h"

#include "gui/CBitmap.h"

CPSKickButton::CPSKickButton(const CRect& r, CControlListener* l, int32_t t, CCoord h,
                             CBitmap* bitmap, const CPoint& o, bool needsDoubleClick)
    : CKickButton(r, l, t, h, bitmap, o), armedByDoubleClick(needsDoubleClick) {}

int32_t CPSKickButton::imageIndex() const {
  if (pressed) return 2;
  return hover ? 1 : 0;
}

void CPSKickButton::draw(CDrawContext* context) {
  if (background)
    background->draw(context, size, CPoint(offset.x, offset.y + imageIndex() * heightOfOneImage));
  setDirty(false);
}

CMouseEventResult CPSKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (armedByDoubleClick && !(buttons & kDoubleClick))
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  pressed = true;
  value = armedByDoubleClick && (buttons & kControl) ? 0.5f : 1.f;
  if (listener) listener->valueChanged(this);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseUp(CPoint&, const CButtonState&) {
  value = 0.f;
  pressed = false;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseEntered(CPoint&, const CButtonState&) {
  hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseExited(CPoint&, const CButtonState&) {
  hover = false;
  invalid();
  return kMouseEventHandled;
}
