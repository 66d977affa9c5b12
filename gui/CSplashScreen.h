#pragma once

#include "gui/CControl.h"

// An invisible hot-spot that holds a picture, the area it is shown in and the offset into it;
// the subclass shows it (as the frame's modal view) on a left click. Value: max while shown,
// min otherwise.
class CSplashScreen : public CControl {
 public:
  CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                const CRect& toDisplay, const CPoint& offset = CPoint(0, 0));

  // The picture was closed.
  virtual void unSplash();

  const CRect& getDisplayArea() const { return toDisplay; }
  const CPoint& getDisplayOffset() const { return offset; }

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return nullptr; }

 protected:
  CRect toDisplay;
  CPoint offset;
};
