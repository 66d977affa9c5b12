#include "gui/CRockerSwitch.h"

#include "gui/CBitmap.h"

#include <cstring>

CRockerSwitch::CRockerSwitch(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap,
                             const CPoint& o, int32_t s)
    : CRockerSwitch(r, l, t, r.getHeight(), bitmap, o, s) {}

CRockerSwitch::CRockerSwitch(const CRect& r, CControlListener* l, int32_t t, CCoord h,
                             CBitmap* bitmap, const CPoint& o, int32_t s)
    : CControl(r, l, t, bitmap), offset(o), heightOfOneImage(h), style(s) {
  setMin(-1.f);
  setMax(1.f);
  setValue((getMax() + getMin()) / 2.f);
}

void CRockerSwitch::draw(CDrawContext* context) {
  CPoint where(offset);
  bounceValue();
  if (value == getMax())
    where.y += 2 * heightOfOneImage;
  else if (value == (getMax() + getMin()) / 2.f)
    where.y += heightOfOneImage;
  if (background) background->draw(context, size, where);
  setDirty(false);
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  entryState = value;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  const bool insideY = where.y >= size.top && where.y <= size.bottom;
  const bool insideX = where.x >= size.left && where.x <= size.right;
  if (style & kHorizontal) {
    const CCoord middle = size.left + size.getWidth() / 2;
    if (insideY && where.x >= size.left && where.x <= middle)
      value = getMin();
    else if (insideY && where.x >= middle && where.x <= size.right)
      value = getMax();
    else
      value = entryState;
  } else {
    const CCoord middle = size.top + size.getHeight() / 2;
    if (insideX && where.y >= size.top && where.y <= middle)
      value = getMax();
    else if (insideX && where.y >= middle && where.y <= size.bottom)
      value = getMin();
    else
      value = entryState;
  }
  if (isDirty()) {
    valueChanged();
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
  value = (getMax() + getMin()) / 2.f;
  if (isDirty()) invalid();
  endEdit();
  return kMouseEventHandled;
}

bool CRockerSwitch::isTypeOf(const char* type) const {
  return std::strcmp(type, "CRockerSwitch") == 0 || CControl::isTypeOf(type);
}
