#include "gui/CKickButton.h"

#include <cstring>

CKickButton::CKickButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap,
                         const CPoint& o)
    : CControl(r, l, t, bitmap), offset(o), heightOfOneImage(r.getHeight()) {}

CKickButton::CKickButton(const CRect& r, CControlListener* l, int32_t t, CCoord h, CBitmap* bitmap,
                         const CPoint& o)
    : CControl(r, l, t, bitmap), offset(o), heightOfOneImage(h) {}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (buttons & kLButton) {
    // Edges count as inside, so a press on the last pixel row still arms the button.
    const bool inside = where.x >= size.left && where.y >= size.top && where.x <= size.right &&
                        where.y <= size.bottom;
    value = inside ? getMax() : getMin();
    if (isDirty()) invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&) {
  if (value != 0.f) valueChanged();
  value = getMin();
  valueChanged();
  if (isDirty()) invalid();
  endEdit();
  return kMouseEventHandled;
}

bool CKickButton::isTypeOf(const char* type) const {
  return std::strcmp(type, "CKickButton") == 0 || CControl::isTypeOf(type);
}
