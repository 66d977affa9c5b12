#pragma once

#include "gui/CKickButton.h"

// The preset panel's load and save buttons: a click reports 1.0 at once, a plain right-click
// 0.5 (load endian-reversed), and the value drops back to 0 straight after the report.
class CSaveLoadButton : public CKickButton {
 public:
  CSaveLoadButton(CRect size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;
  int32_t onKeyUp(CKeyCode& keyCode) override;

  bool isHovered() const { return hover; }
  int32_t imageIndex() const;

 private:
  bool hover = false;
};
