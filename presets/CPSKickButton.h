#pragma once

#include "gui/CKickButton.h"

// The preset panel's kick button: reports 1.0 on press (0.5 for Control + double-click when it
// needs a double click), shows a hover image, and returns to 0 on release without a report.
class CPSKickButton : public CKickButton {
 public:
  CPSKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset, bool needsDoubleClick);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

  bool isHovered() const { return hover; }
  bool isPressed() const { return pressed; }
  // Clears a press whose release went elsewhere (e.g. to a program the click started);
  // the caller redraws.
  void setPressed(bool state) {
    pressed = state;
    value = state ? value : 0.f;
  }
  int32_t imageIndex() const;

 private:
  bool hover = false;
  bool armedByDoubleClick;
  bool pressed = false;
};
