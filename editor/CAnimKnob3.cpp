#include "editor/CAnimKnob3.h"

#include "gui/CBitmap.h"
#include "gui/ImageStrip.h"

#include <algorithm>

CAnimKnob3::CAnimKnob3(const CRect& r, CControlListener* l, int32_t t, int32_t n,
                       int32_t /*imageWidth*/, int32_t h, CBitmap* bitmap, const CPoint& o)
    : CAnimKnob(r, l, t, n, h, bitmap, o) {}

void CAnimKnob3::draw(CDrawContext* context) {
  if (background) {
    const int32_t index = stripIndexRound(value, subPixmaps);
    background->draw(context, size, CPoint(0, index * heightOfOneImage));
  }
  setDirty(false);
}

CMouseEventResult CAnimKnob3::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !listener) return kMouseEventNotHandled;
  beginEdit();
  if (buttons & (kDoubleClick | kControl)) {
    value = getDefaultValue();
    if (isDirty()) listener->valueChanged(this);
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  startValue = value;
  sensitivity = static_cast<float>((getMax() - getMin()) / (1000.0 * dragZoom));
  anchor = previous = accumulated = where;
  dragging = true;
  return onMouseMoved(where, buttons);
}

CMouseEventResult CAnimKnob3::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (!dragging) return kMouseEventHandled;
  const double d = 2 * (previous.y - where.y) + (where.x - previous.x);
  previous = where;
  accumulated.x += d;
  const double delta = (anchor.y - accumulated.y) + (accumulated.x - anchor.x);
  value = std::clamp(static_cast<float>(startValue + delta * sensitivity), getMin(), getMax());
  if (isDirty()) {
    invalid();
    listener->valueChanged(this);
  }
  return kMouseEventHandled;
}

CMouseEventResult CAnimKnob3::onMouseUp(CPoint&, const CButtonState&) {
  dragging = false;
  endEdit();
  return kMouseEventHandled;
}

bool CAnimKnob3::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  value += (buttons & kShift) ? 0.001f * distance : 0.01f * distance;
  bounceValue();
  if (isDirty() && listener) {
    invalid();
    beginEdit();
    listener->valueChanged(this);
    endEdit();
  }
  return true;
}
