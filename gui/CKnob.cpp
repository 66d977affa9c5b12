#include "gui/CKnob.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <cmath>
#include <cstring>

namespace {
constexpr float kPi = 3.14159265358979f;
constexpr CCoord kLinearRange = 200;
}  // namespace

CKnob::CKnob(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap, CBitmap* handle,
             const CPoint& o)
    : CControl(r, l, t, bitmap),
      offset(o),
      startAngle(3.f * kPi / 4.f),
      rangeAngle(3.f * kPi / 2.f) {
  setHandleBitmap(handle);
  inset = handle ? handle->getWidth() / 2 + 2.5 : 3;
}

CKnob::CKnob(const CKnob& other)
    : CControl(other),
      offset(other.offset),
      colorHandle(other.colorHandle),
      colorShadowHandle(other.colorShadowHandle),
      startAngle(other.startAngle),
      rangeAngle(other.rangeAngle),
      zoomFactor(other.zoomFactor),
      inset(other.inset) {
  setHandleBitmap(other.handleBitmap);
}

CKnob::~CKnob() {
  if (handleBitmap) handleBitmap->forget();
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
  if (bitmap) bitmap->remember();
  if (handleBitmap) handleBitmap->forget();
  handleBitmap = bitmap;
}

void CKnob::draw(CDrawContext* context) {
  if (background) background->draw(context, size, offset);
  drawHandle(context);
  setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
  CPoint where;
  valueToPoint(where);
  if (handleBitmap) {
    const CCoord w = handleBitmap->getWidth();
    const CCoord h = handleBitmap->getHeight();
    CRect r(size.left + where.x - w / 2, size.top + where.y - h / 2, 0, 0);
    r.right = r.left + w;
    r.bottom = r.top + h;
    handleBitmap->draw(context, r);
    return;
  }
  const CPoint origin(size.getWidth() / 2, size.getHeight() / 2);
  context->saveGlobalState();
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(1);
  context->setFrameColor(colorShadowHandle);
  context->drawLine(CPoint(size.left + origin.x + 1, size.top + origin.y + 1),
                    CPoint(size.left + where.x + 1, size.top + where.y + 1));
  context->setFrameColor(colorHandle);
  context->drawLine(CPoint(size.left + origin.x, size.top + origin.y),
                    CPoint(size.left + where.x, size.top + where.y));
  context->restoreGlobalState();
}

void CKnob::valueToPoint(CPoint& point) const {
  const float alpha = startAngle + getValueNormalized() * rangeAngle;
  const CPoint c(size.getWidth() / 2, size.getHeight() / 2);
  const double rx = c.x - inset;
  const double ry = c.y - inset;
  point.x = c.x + std::cos(alpha) * rx;
  point.y = c.y + std::sin(alpha) * ry;
}

float CKnob::valueFromPoint(CPoint& point) const {
  const CPoint c(size.getWidth() / 2, size.getHeight() / 2);
  const double rx = c.x - inset;
  const double ry = c.y - inset;
  if (rx <= 0 || ry <= 0) return value;
  double alpha =
      std::atan2((point.y - c.y) / ry, (point.x - c.x) / rx) - (startAngle + rangeAngle / 2.0);
  // Wrap into [-pi, pi) so the gap at the bottom of the dial lies at the ends.
  while (alpha >= M_PI) alpha -= 2 * M_PI;
  while (alpha < -M_PI) alpha += 2 * M_PI;
  float v;
  if (alpha > rangeAngle / 2.0)
    v = 1.f;
  else if (alpha < -rangeAngle / 2.0)
    v = 0.f;
  else
    v = static_cast<float>(0.5 + alpha / rangeAngle);
  return getMin() + v * (getMax() - getMin());
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  if (checkDefaultValue(buttons)) {
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  firstPoint = where;
  lastPoint = where;
  oldButton = buttons;
  const int32_t mode = getFrame() ? getFrame()->getKnobMode() : kCircularMode;
  modeLinear = (mode == kLinearMode) != ((buttons & kAlt) != 0);
  if (modeLinear) {
    entryState = value;
    range = kLinearRange;
    if (buttons & kZoomModifier) range *= zoomFactor;
    coef = static_cast<float>((getMax() - getMin()) / range);
  } else {
    CPoint where2(where);
    where2.offset(-size.left, -size.top);
    startValue = valueFromPoint(where2);
  }
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (where == lastPoint) return kMouseEventHandled;
  lastPoint = where;
  if (modeLinear) {
    const CCoord diff = (firstPoint.y - where.y) + (where.x - firstPoint.x);
    if (buttons != oldButton) {
      // The rate changes with the zoom modifier; rebasing keeps the value where it is.
      range = kLinearRange;
      if (buttons & kZoomModifier) range *= zoomFactor;
      const float coef2 = static_cast<float>((getMax() - getMin()) / range);
      entryState += static_cast<float>(diff * (coef - coef2));
      coef = coef2;
      oldButton = buttons;
    }
    value = static_cast<float>(entryState + diff * coef);
    bounceValue();
  } else {
    CPoint where2(where);
    where2.offset(-size.left, -size.top);
    value = valueFromPoint(where2);
    const float middle = (getMax() - getMin()) * 0.5f;
    // A jump across the dial's gap pins to the end being approached instead of wrapping.
    if (startValue - value > middle)
      value = getMax();
    else if (value - startValue > middle)
      value = getMin();
    else
      startValue = value;
  }
  if (value != getOldValue()) valueChanged();
  if (isDirty()) invalid();
  return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  float v = getValueNormalized();
  if (buttons & kZoomModifier)
    v += 0.1f * distance * getWheelInc();
  else
    v += distance * getWheelInc();
  setValueNormalized(v);
  if (isDirty()) {
    invalid();
    beginEdit();
    valueChanged();
    endEdit();
  }
  return true;
}

bool CKnob::isTypeOf(const char* type) const {
  return std::strcmp(type, "CKnob") == 0 || CControl::isTypeOf(type);
}
