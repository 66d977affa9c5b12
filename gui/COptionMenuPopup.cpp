#include "gui/COptionMenuPopup.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/COptionMenu.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr CCoord kPadding = 6;
constexpr CCoord kMarkWidth = 12;
constexpr CColor kListBack{245, 245, 245, 255};
constexpr CColor kListFrame{96, 96, 96, 255};
constexpr CColor kHoverBack{51, 102, 170, 255};
constexpr CColor kDisabledText{150, 150, 150, 255};
}  // namespace

COptionMenuPopup::COptionMenuPopup(COptionMenu* m, const CRect& frameSize)
    : CView(frameSize), menu(m) {
  menu->remember();
  // Measure the titles with the menu's font on a scratch surface, at the scale they are drawn.
  CairoSurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
  CDrawContext context(scratch.get(), menu->getFrame() ? menu->getFrame()->getScaleFactor() : 1.0);
  context.setFont(menu->getFont());
  CCoord widest = 20;
  for (int32_t i = 0; i < menu->getNbEntries(); ++i)
    widest = std::max(widest, context.getStringWidth(menu->getEntry(i)->getTitle()));
  rowHeight = std::ceil(context.getFontSize()) + 5;
  columnWidth = std::ceil(widest) + 2 * kPadding + kMarkWidth;
  rowsPerColumn = std::min(menu->getNbItemsPerColumn(), std::max(1, menu->getNbEntries()));
  const int32_t columns = (menu->getNbEntries() + rowsPerColumn - 1) / rowsPerColumn;

  // Below the menu if it fits, else above it, always inside the frame.
  CPoint anchor(menu->getViewSize().left, menu->getViewSize().bottom);
  menu->localToFrame(anchor);
  CPoint top(menu->getViewSize().left, menu->getViewSize().top);
  menu->localToFrame(top);
  const CCoord w = columns * columnWidth + 2;
  const CCoord h = rowsPerColumn * rowHeight + 2;
  CCoord y = anchor.y;
  if (y + h > frameSize.bottom) y = top.y - h;
  y = std::clamp(y, frameSize.top, std::max(frameSize.top, frameSize.bottom - h));
  const CCoord x =
      std::clamp(anchor.x, frameSize.left, std::max(frameSize.left, frameSize.right - w));
  listRect = CRect(x, y, x + w, y + h);
  hoverIndex = menu->getCurrentIndex();
}

COptionMenuPopup::~COptionMenuPopup() { menu->forget(); }

CRect COptionMenuPopup::entryRect(int32_t index) const {
  const int32_t column = index / rowsPerColumn;
  const int32_t row = index % rowsPerColumn;
  const CCoord left = listRect.left + 1 + column * columnWidth;
  const CCoord top = listRect.top + 1 + row * rowHeight;
  return CRect(left, top, left + columnWidth, top + rowHeight);
}

int32_t COptionMenuPopup::entryAt(const CPoint& where) const {
  for (int32_t i = 0; i < menu->getNbEntries(); ++i)
    if (entryRect(i).pointInside(where)) return i;
  return -1;
}

void COptionMenuPopup::draw(CDrawContext* context) {
  context->setFillColor(kListBack);
  context->setFrameColor(kListFrame);
  context->drawRect(listRect, kDrawFilledAndStroked);
  context->setFont(menu->getFont());
  for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
    const CMenuItem* item = menu->getEntry(i);
    const CRect r = entryRect(i);
    if (item->isSeparator()) {
      const CCoord y = std::floor(r.top + r.getHeight() / 2);
      context->setFrameColor(kDisabledText);
      context->drawLine(CPoint(r.left + 2, y), CPoint(r.right - 3, y));
      continue;
    }
    const bool hovered = i == hoverIndex && item->isSelectable();
    if (hovered) {
      context->setFillColor(kHoverBack);
      context->drawRect(r, kDrawFilled);
    }
    const CColor text = !item->isEnabled() ? kDisabledText : hovered ? kWhiteCColor : kBlackCColor;
    if (i == menu->getCurrentIndex() || item->isChecked()) {
      const CCoord cy = std::floor(r.top + r.getHeight() / 2);
      context->setFillColor(text);
      context->drawRect(CRect(r.left + 4, cy - 2, r.left + 8, cy + 2), kDrawFilled);
    }
    context->setFontColor(text);
    CRect textRect(r.left + kMarkWidth, r.top, r.right - kPadding, r.bottom);
    context->drawString(item->getTitle(), textRect, kLeftText);
  }
  setDirty(false);
}

void COptionMenuPopup::setHover(int32_t index) {
  if (index == hoverIndex) return;
  if (hoverIndex >= 0) invalidRect(entryRect(hoverIndex));
  hoverIndex = index;
  if (hoverIndex >= 0) invalidRect(entryRect(hoverIndex));
}

CMouseEventResult COptionMenuPopup::onMouseMoved(CPoint& where, const CButtonState&) {
  const int32_t index = entryAt(where);
  if (index >= 0 && menu->getEntry(index)->isSelectable()) setHover(index);
  return kMouseEventHandled;
}

CMouseEventResult COptionMenuPopup::onMouseDown(CPoint& where, const CButtonState&) {
  if (!listRect.pointInside(where)) {
    close(-1);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  const int32_t index = entryAt(where);
  if (index >= 0 && menu->getEntry(index)->isSelectable()) close(index);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void COptionMenuPopup::trackPointer(const CPoint& where, bool leftTheMenu) {
  draggedFromMenu = draggedFromMenu || leftTheMenu;
  CPoint p(where);
  onMouseMoved(p, CButtonState());
}

void COptionMenuPopup::releaseAt(const CPoint& where) {
  // A plain click on the menu leaves the list open for a second click.
  if (!draggedFromMenu) return;
  const int32_t index = entryAt(where);
  if (index >= 0 && menu->getEntry(index)->isSelectable()) close(index);
}

int32_t COptionMenuPopup::onKeyDown(CKeyCode& key) {
  const int32_t n = menu->getNbEntries();
  switch (key.virt) {
    case kVKeyEscape:
      close(-1);
      return 1;
    case kVKeyReturn:
    case kVKeyEnter:
      close(hoverIndex >= 0 && hoverIndex < n && menu->getEntry(hoverIndex)->isSelectable()
                ? hoverIndex
                : -1);
      return 1;
    case kVKeyUp:
    case kVKeyDown: {
      const int32_t step = key.virt == kVKeyUp ? -1 : 1;
      for (int32_t i = hoverIndex + step; i >= 0 && i < n; i += step)
        if (menu->getEntry(i)->isSelectable()) {
          setHover(i);
          break;
        }
      return 1;
    }
    default:
      return 1;  // the open list takes every key
  }
}

void COptionMenuPopup::close(int32_t index) {
  if (closed) return;
  closed = true;
  CBaseObjectGuard guard(this);
  COptionMenu* owner = menu;
  CBaseObjectGuard ownerGuard(owner);
  if (CFrame* f = getFrame(); f && f->getModalView() == this) f->setModalView(nullptr);
  owner->popupClosed(index);
}

bool COptionMenuPopup::removed(CViewContainer* parent) {
  // Taken away by something else (the window closing): the menu's gesture still ends.
  if (!closed) {
    closed = true;
    menu->popupClosed(-1);
  }
  return CView::removed(parent);
}
