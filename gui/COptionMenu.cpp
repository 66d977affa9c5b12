#include "gui/COptionMenu.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/COptionMenuPopup.h"

#include <cmath>
#include <cstring>

COptionMenu::COptionMenu(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap,
                         CBitmap* clickBitmap, int32_t s)
    : CParamDisplay(r, bitmap, s), bgWhenClick(clickBitmap) {
  listener = l;
  tag = t;
  if (bgWhenClick) bgWhenClick->remember();
}

COptionMenu::~COptionMenu() {
  if (bgWhenClick) bgWhenClick->forget();
}

CMenuItem* COptionMenu::addEntry(const char* title, int32_t index, int32_t flags) {
  auto item = std::make_unique<CMenuItem>(title, flags);
  CMenuItem* raw = item.get();
  if (index < 0 || index >= getNbEntries())
    entries.push_back(std::move(item));
  else
    entries.insert(entries.begin() + index, std::move(item));
  return raw;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const {
  if (index < 0 || index >= getNbEntries()) return nullptr;
  return entries[static_cast<size_t>(index)].get();
}

bool COptionMenu::setCurrent(int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  currentIndex = index;
  value = static_cast<float>(index);
  if (style & kCheckStyle)
    for (int32_t i = 0; i < getNbEntries(); ++i)
      entries[static_cast<size_t>(i)]->setChecked(i == index);
  setDirty(true);
  return true;
}

void COptionMenu::setValue(float val) {
  // Entry indexes are whole numbers; a value between two rounds to the nearer one.
  const auto index = static_cast<int32_t>(std::floor(val + 0.5f));
  if (index >= 0 && index < getNbEntries()) setCurrent(index);
}

float COptionMenu::getMax() const {
  return entries.empty() ? 0.f : static_cast<float>(getNbEntries() - 1);
}

void COptionMenu::draw(CDrawContext* context) {
  if (style & kNoDrawStyle) {
    setDirty(false);
    return;
  }
  CBitmap* bitmap = popup && bgWhenClick ? bgWhenClick : background;
  if (bitmap)
    bitmap->draw(context, size, backOffset);
  else
    drawBack(context);
  if (const CMenuItem* item = getCurrent()) drawText(context, item->getTitle());
  setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons) {
  const bool opens = (buttons & (kLButton | kRButton)) != 0;
  if (!opens || popup || entries.empty()) return kMouseEventNotHandled;
  CFrame* f = getFrame();
  if (!f) return kMouseEventNotHandled;
  beginEdit();
  auto* view = new COptionMenuPopup(this, f->getViewSize());
  if (!f->setModalView(view)) {
    view->forget();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  view->forget();  // the frame holds it while it is open
  popup = view;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult COptionMenu::onMouseMoved(CPoint& where, const CButtonState&) {
  if (popup) {
    CPoint p(where);
    localToFrame(p);
    popup->trackPointer(p, !size.pointInside(where));
  }
  return kMouseEventHandled;
}

CMouseEventResult COptionMenu::onMouseUp(CPoint& where, const CButtonState&) {
  if (popup) {
    CPoint p(where);
    localToFrame(p);
    popup->releaseAt(p);
  }
  return kMouseEventHandled;
}

void COptionMenu::popupClosed(int32_t index) {
  CBaseObjectGuard guard(this);
  popup = nullptr;
  if (index >= 0 && index < getNbEntries()) {
    setValue(static_cast<float>(index));
    valueChanged();
  }
  invalid();
  endEdit();
}

bool COptionMenu::isTypeOf(const char* type) const {
  return std::strcmp(type, "COptionMenu") == 0 || CParamDisplay::isTypeOf(type);
}
