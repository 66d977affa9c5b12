#include "gui/COnOffButton.h"

#include "gui/CBitmap.h"

#include <cstring>

COnOffButton::COnOffButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap,
                           int32_t s)
    : CControl(r, l, t, bitmap), style(s) {}

void COnOffButton::draw(CDrawContext* context) {
  if (background) {
    const CCoord off = value == getMax() ? background->getHeight() / 2 : 0;
    background->draw(context, size, CPoint(0, off));
  }
  setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value = value == getMax() ? getMin() : getMax();
  invalid();
  beginEdit();
  valueChanged();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COnOffButton::isTypeOf(const char* type) const {
  return std::strcmp(type, "COnOffButton") == 0 || CControl::isTypeOf(type);
}
