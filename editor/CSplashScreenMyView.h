#pragma once

#include "gui/CView.h"

#include <string>

class CAbout;

// The about picture with the version label; a left click closes it.
class CSplashScreenMyView : public CView {
 public:
  CSplashScreenMyView(const CRect& size, CAbout* opener, const CPoint& offset, const char* version);
  ~CSplashScreenMyView() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

  // The box the version label is centred in (frame coordinates).
  CRect versionRect() const;
  std::string versionLabel() const { return "v." + version; }

 private:
  CAbout* opener;
  CPoint offset;
  std::string version;
};
