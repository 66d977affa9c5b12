#include "gui/CKnob.h"

#include "gui/CBitmap.h"

#include <cmath>
#include <cstring>

namespace {
constexpr float kPi = 3.14159265358979f;
// Pixels of a drag over the whole range.
constexpr CCoord kLinearRange = 200;
}  // namespace

CKnob::CKnob(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap, CBitmap* handle,
             const CPoint& /*offset*/)
    : CControl(r, l, t, bitmap),
      startAngle(3.f * kPi / 4.f),
      rangeAngle(3.f * kPi / 2.f),
      inset(handle ? handle->getWidth() / 2 + 2.5 : 3) {}

CKnob::CKnob(const CKnob& other)
    : CControl(other),
      startAngle(other.startAngle),
      rangeAngle(other.rangeAngle),
      inset(other.inset) {}

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
  firstPoint = where;
  startValue = value;
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  // Up and right both turn it up.
  const CCoord distance = (firstPoint.y - where.y) + (where.x - firstPoint.x);
  value = static_cast<float>(startValue + distance * (getMax() - getMin()) / kLinearRange);
  bounceValue();
  if (isDirty()) {
    invalid();
    valueChanged();
  }
  return kMouseEventHandled;
}

bool CKnob::isTypeOf(const char* type) const {
  return std::strcmp(type, "CKnob") == 0 || CControl::isTypeOf(type);
}
