#include "editor/CSplashScreenMyView.h"

#include "editor/CAbout.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <cmath>

namespace {
// Dark text reads best on the picture's light version badge.
constexpr CColor kVersionColour{28, 32, 40, 255};
}  // namespace

CSplashScreenMyView::CSplashScreenMyView(const CRect& r, CAbout* o, const CPoint& off,
                                         const char* v)
    : CView(r), opener(o), offset(off), version(v ? v : "") {
  opener->remember();
  setBackground(opener->getBackground());
  setTransparency(opener->getTransparency());
}

CSplashScreenMyView::~CSplashScreenMyView() { opener->forget(); }

CRect CSplashScreenMyView::versionRect() const {
  const CCoord cx = std::trunc(size.left + size.getWidth() / 2);
  const CCoord cy = std::trunc(size.top + size.getHeight() / 2);
  return CRect(cx + 52, cy - 71, cx + 84, cy - 61);
}

void CSplashScreenMyView::draw(CDrawContext* context) {
  if (background) background->draw(context, size, offset);
  context->setFont(kNormalFontVerySmall, 0, -1);
  context->setFontColor(kVersionColour);
  context->drawString(versionLabel().c_str(), versionRect(), kCenterText, true);
  setDirty(false);
}

CMouseEventResult CSplashScreenMyView::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (buttons & kLButton) {
    opener->unSplash();
    if (CFrame* f = getFrame()) {
      f->setDirty(true);
      // Releases the frame's reference: the picture goes once this click is handled.
      f->setModalView(nullptr);
    }
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
