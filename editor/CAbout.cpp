#include "editor/CAbout.h"

#include "editor/CSplashScreenMyView.h"
#include "gui/CFrame.h"

namespace {
constexpr const char* kVersion = "1.8.0";
}

CAbout::CAbout(const CRect& r, CControlListener* l, int32_t t, CBitmap* picture, const CRect& area,
               const CPoint& o)
    : CSplashScreen(r, l, t, picture, area, o) {}

void CAbout::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult CAbout::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !listener) return kMouseEventNotHandled;
  value = value == 0.f ? 1.f : 0.f;
  if (value == 0.f) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  auto* view = new CSplashScreenMyView(toDisplay, this, offset, kVersion);
  if (CFrame* f = getFrame(); f && f->setModalView(view)) listener->valueChanged(this);
  // The frame holds the picture while it shows (and closes it with the window); a refused
  // picture is simply dropped.
  view->forget();
  setDirty(true);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
