#include "presets/CSaveLoadButton.h"

#include "gui/CBitmap.h"

CSaveLoadButton::CSaveLoadButton(CRect r, CControlListener* l, int32_t t, CCoord h, CBitmap* bitmap,
                                 const CPoint& o)
    : CKickButton(r, l, t, h, bitmap, o) {}

int32_t CSaveLoadButton::imageIndex() const {
  if (value != 0.f) return 2;
  return hover ? 1 : 0;
}

void CSaveLoadButton::draw(CDrawContext* context) {
  if (background)
    background->draw(context, size, CPoint(offset.x, offset.y + imageIndex() * heightOfOneImage));
  setDirty(false);
}

CMouseEventResult CSaveLoadButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & (kLButton | kRButton)) || !listener) return kMouseEventNotHandled;
  value = static_cast<int64_t>(buttons) == kRButton ? 0.5f : 1.f;
  listener->valueChanged(this);
  value = 0.f;
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CSaveLoadButton::onMouseEntered(CPoint&, const CButtonState&) {
  hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CSaveLoadButton::onMouseExited(CPoint&, const CButtonState&) {
  hover = false;
  invalid();
  return kMouseEventHandled;
}

int32_t CSaveLoadButton::onKeyDown(CKeyCode&) { return -1; }

int32_t CSaveLoadButton::onKeyUp(CKeyCode&) { return -1; }
