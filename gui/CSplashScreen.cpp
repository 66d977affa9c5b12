#include "gui/CSplashScreen.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

#include <cstring>

CSplashScreen::CSplashScreen(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap,
                             const CRect& display, const CPoint& o)
    : CControl(r, l, t, bitmap), toDisplay(display), offset(o) {
  modalView = new CDefaultSplashScreenView(toDisplay, this, bitmap, offset);
}

CSplashScreen::CSplashScreen(const CRect& r, CControlListener* l, int32_t t, CView* splashView)
    : CControl(r, l, t, nullptr),
      toDisplay(splashView ? splashView->getViewSize() : CRect()),
      modalView(splashView) {}

CSplashScreen::~CSplashScreen() {
  if (modalView) modalView->forget();
}

void CSplashScreen::draw(CDrawContext*) { setDirty(false); }

bool CSplashScreen::hitTest(const CPoint& where, const CButtonState& buttons) {
  return buttons.isLeftButton() && CControl::hitTest(where, buttons);
}

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  value = value == getMax() ? getMin() : getMax();
  if (value == getMax()) {
    if (modalView && getFrame() && getFrame()->setModalView(modalView)) {
      valueChanged();
    }
  }
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::unSplash() {
  value = getMin();
  setDirty(true);
  CFrame* f = getFrame();
  if (f && modalView && f->getModalView() == modalView) {
    modalView->invalid();
    f->setModalView(nullptr);
  }
}

bool CSplashScreen::isTypeOf(const char* type) const {
  return std::strcmp(type, "CSplashScreen") == 0 || CControl::isTypeOf(type);
}

CDefaultSplashScreenView::CDefaultSplashScreenView(const CRect& r, CSplashScreen* s,
                                                   CBitmap* bitmap, const CPoint& o)
    : CView(r), splashScreen(s), offset(o) {
  setBackground(bitmap);
}

void CDefaultSplashScreenView::draw(CDrawContext* context) {
  if (background) background->draw(context, size, offset);
  setDirty(false);
}

CMouseEventResult CDefaultSplashScreenView::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventHandled;
  if (splashScreen) {
    CBaseObjectGuard guard(splashScreen);
    splashScreen->unSplash();
    splashScreen->valueChanged();
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
