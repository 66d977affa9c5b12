#include "gui/CHorizontalSwitch.h"

#include "gui/CBitmap.h"
#include "gui/ImageStrip.h"

#include <cstring>

CHorizontalSwitch::CHorizontalSwitch(const CRect& r, CControlListener* l, int32_t t, int32_t n,
                                     CCoord h, int32_t positions, CBitmap* bitmap, const CPoint& o)
    : CControl(r, l, t, bitmap),
      offset(o),
      subPixmaps(n),
      heightOfOneImage(h),
      maxPositions(positions) {
  setDefaultValue(0.f);
}

void CHorizontalSwitch::draw(CDrawContext* context) {
  if (background) {
    bounceValue();
    const int32_t index = stripIndexRound(getValueNormalized(), subPixmaps);
    background->draw(context, size, CPoint(offset.x, offset.y + heightOfOneImage * index));
  }
  setDirty(false);
}

CMouseEventResult CHorizontalSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  const CCoord width = background ? background->getWidth() : size.getWidth();
  coef = maxPositions > 0 ? width / maxPositions : width;
  beginEdit();
  if (checkDefaultValue(buttons)) {
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  return onMouseMoved(where, buttons);
}

CMouseEventResult CHorizontalSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventHandled;
  if (coef <= 0) return kMouseEventHandled;
  const auto index = static_cast<int32_t>((where.x - size.left) / coef);
  const int32_t steps = maxPositions > 1 ? maxPositions - 1 : 1;
  value = getMin() + static_cast<float>(index) / static_cast<float>(steps) * (getMax() - getMin());
  bounceValue();
  if (isDirty()) {
    valueChanged();
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CHorizontalSwitch::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  return kMouseEventHandled;
}

bool CHorizontalSwitch::isTypeOf(const char* type) const {
  return std::strcmp(type, "CHorizontalSwitch") == 0 || CControl::isTypeOf(type);
}
