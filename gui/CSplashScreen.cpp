#include "gui/CSplashScreen.h"

#include <cstring>

CSplashScreen::CSplashScreen(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap,
                             const CRect& display, const CPoint& o)
    : CControl(r, l, t, bitmap), toDisplay(display), offset(o) {}

void CSplashScreen::unSplash() { value = getMin(); }

bool CSplashScreen::isTypeOf(const char* type) const {
  return std::strcmp(type, "CSplashScreen") == 0 || CControl::isTypeOf(type);
}
