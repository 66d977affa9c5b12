#pragma once

#include "gui/CControl.h"

// An invisible control that, on a left click, shows a picture as the frame's modal view;
// a left click on the picture closes it. Value: max while shown, min otherwise.
class CSplashScreen : public CControl {
 public:
  CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                const CRect& toDisplay, const CPoint& offset = CPoint(0, 0));
  // Shows the given view instead of a picture; the splash screen takes its reference.
  CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CView* splashView);
  ~CSplashScreen() override;

  void draw(CDrawContext* context) override;
  bool hitTest(const CPoint& where, const CButtonState& buttons = CButtonState()) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  virtual void unSplash();

  const CRect& getDisplayArea() const { return toDisplay; }
  const CPoint& getDisplayOffset() const { return offset; }
  CView* getSplashView() const { return modalView; }

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return nullptr; }

 protected:
  CRect toDisplay;
  CPoint offset;
  CView* modalView = nullptr;
};

// The picture a CSplashScreen shows; a left click closes it.
class CDefaultSplashScreenView : public CView {
 public:
  CDefaultSplashScreenView(const CRect& size, CSplashScreen* splashScreen, CBitmap* bitmap,
                           const CPoint& offset);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

 private:
  CSplashScreen* splashScreen;
  CPoint offset;
};
