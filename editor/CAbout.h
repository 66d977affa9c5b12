#pragma once

#include "gui/CSplashScreen.h"

// The invisible about hot-spot: a left click shows the about picture with the version as the
// frame's modal view; the value is 1 while it shows.
class CAbout : public CSplashScreen {
 public:
  CAbout(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* picture,
         const CRect& displayArea, const CPoint& displayOffset);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
};
