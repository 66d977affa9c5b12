#include "editor/CLED.h"

#include "gui/CBitmap.h"

CLED::CLED(const CRect& r, CControlListener* l, int32_t t, CBitmap* b)
    : CControl(r, l, t), bitmap(b) {
  if (bitmap) bitmap->remember();
  const CCoord h = bitmap ? bitmap->getHeight() : 0;
  offsetHeld = CPoint(0, h / 3);
  offsetOn = CPoint(0, 2 * h / 3);
  value = 0.f;
}

CLED::~CLED() {
  if (bitmap) bitmap->forget();
}

void CLED::setValue(float v) {
  oldValue = value;
  value = v;
}

void CLED::resetHold() { setValue(0.f); }

void CLED::draw(CDrawContext* context) {
  const CPoint offset = value > 0.5f ? offsetOn : value == 0.5f ? offsetHeld : offsetOff;
  if (bitmap) bitmap->draw(context, size, offset);
  setDirty(false);
}

CMouseEventResult CLED::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  resetHold();
  // The editor always passes itself; a missing listener is tolerated all the same.
  if (listener) listener->valueChanged(this);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
