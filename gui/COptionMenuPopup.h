#pragma once

#include "gui/CView.h"

#include <vector>

class COptionMenu;

// The open list of an option menu: a modal view covering the frame, so a click outside the
// list closes it without a choice. Entries run in columns of the menu's items-per-column.
class COptionMenuPopup : public CView {
 public:
  COptionMenuPopup(COptionMenu* menu, const CRect& frameSize);
  ~COptionMenuPopup() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;
  bool removed(CViewContainer* parent) override;

  // The pointer moved with the opening press still held (frame coordinates).
  void trackPointer(const CPoint& where, bool leftTheMenu);
  // The opening press ended: over an entry after dragging there, that entry is chosen.
  void releaseAt(const CPoint& where);

  const CRect& getListRect() const { return listRect; }
  // The entry under a point (frame coordinates), or -1.
  int32_t entryAt(const CPoint& where) const;
  CRect entryRect(int32_t index) const;
  int32_t getHoverIndex() const { return hoverIndex; }

 private:
  void close(int32_t index);
  void setHover(int32_t index);

  COptionMenu* menu;
  CRect listRect;
  CCoord rowHeight = 16;
  CCoord columnWidth = 60;
  int32_t rowsPerColumn = 1;
  int32_t hoverIndex = -1;
  bool closed = false;
  bool draggedFromMenu = false;
};
