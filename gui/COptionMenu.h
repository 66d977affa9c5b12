#pragma once

#include "gui/CMenuItem.h"
#include "gui/CParamDisplay.h"

#include <memory>
#include <vector>

class COptionMenuPopup;

// A list of entries of which one is current; its value is the current entry's index, so its
// maximum is the entry count - 1. A click opens the list inside the frame as a modal view;
// choosing an entry is one gesture (beginEdit when the list opens, valueChanged, endEdit when
// it closes); closing it without a choice changes nothing.
class COptionMenu : public CParamDisplay {
 public:
  COptionMenu(const CRect& size, CControlListener* listener, int32_t tag,
              CBitmap* background = nullptr, CBitmap* bgWhenClick = nullptr, int32_t style = 0);
  ~COptionMenu() override;

  CMenuItem* addEntry(const char* title, int32_t index = -1, int32_t flags = CMenuItem::kNoFlags);
  int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
  CMenuItem* getEntry(int32_t index) const;
  CMenuItem* getCurrent() const { return getEntry(currentIndex); }
  int32_t getCurrentIndex() const { return currentIndex; }
  bool setCurrent(int32_t index);
  void setNbItemsPerColumn(int32_t n) { nbItemsPerColumn = n > 0 ? n : 1; }
  int32_t getNbItemsPerColumn() const { return nbItemsPerColumn; }

  void setValue(float val) override;
  float getMax() const override;

  void draw(CDrawContext* context) override;
  // The press that opens the list may also choose from it: drag to an entry and release.
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  bool isPopupOpen() const { return popup != nullptr; }
  // Called by the open list: the chosen index, or -1 when it closed without a choice.
  void popupClosed(int32_t index);

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return nullptr; }

 protected:
  std::vector<std::unique_ptr<CMenuItem>> entries;
  CBitmap* bgWhenClick = nullptr;
  COptionMenuPopup* popup = nullptr;
  int32_t currentIndex = -1;
  int32_t nbItemsPerColumn = 16;
};
