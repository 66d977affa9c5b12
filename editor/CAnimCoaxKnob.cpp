#include "editor/CAnimCoaxKnob.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/ImageStrip.h"

#include <algorithm>
#include <cmath>

CAnimCoaxKnob::CAnimCoaxKnob(const CRect& r, CControlListener* l, int32_t t, int32_t n, int32_t h,
                             CBitmap* bitmap, const CPoint& o, long m)
    : CKnob(r, l, t, bitmap, nullptr, o),
      imageRect(r),
      margin(m),
      centrePoint(r.getCenter()),
      intRadius(static_cast<float>(r.getWidth() / 2)),
      images(n),
      imageHeight(h) {
  imageRect.inset(static_cast<CCoord>(margin), static_cast<CCoord>(margin));
  wheelInc = 0.026041670f;
}

CAnimCoaxKnob::~CAnimCoaxKnob() {
  if (extBitmap) extBitmap->forget();
}

void CAnimCoaxKnob::setValue(float v) {
  oldValue = value;
  value = v;
  setDirty(true);
}

void CAnimCoaxKnob::setIntRadius(const CPoint& centre, float radius) {
  centrePoint = centre;
  intRadius = radius;
}

void CAnimCoaxKnob::setExtBitmap(CBitmap* bitmap, long n) {
  if (bitmap) bitmap->remember();
  if (extBitmap) extBitmap->forget();
  extBitmap = bitmap;
  extImages = n;
}

float CAnimCoaxKnob::distanceToCentre(const CPoint& p) const {
  const float dx = static_cast<float>(p.x - centrePoint.x);
  const float dy = static_cast<float>(p.y - centrePoint.y);
  return std::sqrt(dx * dx + dy * dy);
}

float CAnimCoaxKnob::circularValue(const CPoint& where) const {
  CPoint local(where.x - size.left, where.y - size.top);
  return valueFromPoint(local);
}

void CAnimCoaxKnob::draw(CDrawContext* context) {
  if (background) {
    const int32_t index = stripIndexRound(value, static_cast<int32_t>(images));
    background->draw(context, imageRect, CPoint(0, index * imageHeight));
  }
  if (extBitmap) {
    const int32_t index = stripIndexRound(extValue, static_cast<int32_t>(extImages));
    extBitmap->draw(context, imageRect, CPoint(0, index * imageHeight));
  }
  setDirty(false);
}

CMouseEventResult CAnimCoaxKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !listener) return kMouseEventNotHandled;
  // The part is chosen before the gesture is announced: the listener names the parameter.
  if (buttons & (kDoubleClick | kControl)) {
    // A reset always concerns the centre; the ring keeps its value.
    extActive = false;
    beginEdit();
    value = getDefaultValue();
    if (isDirty()) listener->valueChanged(this);
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  extActive = distanceToCentre(where) > intRadius;
  beginEdit();
  const float range = getMax() - getMin();
  if (extActive) {
    startValue = extValue;
    halfRange = (extMax - extMin) / 2;
    buttonsAtDown = buttons;
    if (buttons & kAlt) {
      linear = false;
      lastCircular = circularValue(where);
    } else {
      anchor = where;
      linear = true;
      sensitivity = range * step * 2;
    }
  } else {
    startValue = value;
    halfRange = range / 2;
    buttonsAtDown = buttons;
    const bool linearMode = getFrame() && getFrame()->getKnobMode() == kLinearMode;
    const bool alt = (buttons & kAlt) != 0;
    if (linearMode == alt) {
      linear = false;
      lastCircular = circularValue(where);
    } else {
      anchor = where;
      linear = true;
      sensitivity = range * step;
      if (buttons & kShift) sensitivity /= 2;
    }
  }
  previous = accumulated = where;
  return onMouseMoved(where, buttons);
}

CMouseEventResult CAnimCoaxKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  float& edited = extActive ? extValue : value;
  const float lower = extActive ? extMin : getMin();
  const float upper = extActive ? extMax : getMax();
  const float extBefore = extValue;
  if (linear) {
    const double d = 2 * (previous.y - where.y) + (where.x - previous.x);
    previous = where;
    accumulated.x += d;
    const double delta = std::trunc((anchor.y - accumulated.y) + (accumulated.x - anchor.x) * 0.5);
    if (buttons != buttonsAtDown) {
      const float range = getMax() - getMin();
      float newSensitivity = extActive ? range * 0.1f : range * step;
      if (!extActive && (buttons & kShift)) newSensitivity /= 2;
      startValue = static_cast<float>(startValue + (sensitivity - newSensitivity) * delta);
      sensitivity = newSensitivity;
      buttonsAtDown = buttons;
    }
    edited = std::clamp(static_cast<float>(startValue + delta * sensitivity), lower, upper);
  } else {
    const float v = circularValue(where);
    edited = v;
    // A jump across the dial's gap sticks at the end that was being approached.
    if (lastCircular - v > halfRange)
      edited = upper;
    else if (v - lastCircular > halfRange)
      edited = lower;
    else
      lastCircular = v;
  }
  if (isDirty() || (extActive && extValue != extBefore)) {
    invalid();
    if (listener) listener->valueChanged(this);
  }
  return kMouseEventHandled;
}

CMouseEventResult CAnimCoaxKnob::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  return kMouseEventHandled;
}

bool CAnimCoaxKnob::onWheel(const CPoint& where, const float& distance,
                            const CButtonState& buttons) {
  float k = distance * wheelInc;
  if (buttons & kShift) k *= 0.1f;
  if (distanceToCentre(where) > intRadius) {
    // The ring is clamped into the knob's own range, as the value it shares a strip rule with.
    extValue = std::clamp(extValue + k, getMin(), getMax());
    setDirty(true);
    extActive = true;
  } else {
    value += k;
    bounceValue();
    extActive = false;
  }
  if (isDirty() && listener) {
    beginEdit();
    listener->valueChanged(this);
    endEdit();
  }
  return true;
}
