#include "gui/CViewContainer.h"

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CControlListener.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <algorithm>
#include <cstring>

CViewContainer::CViewContainer(const CRect& r, CFrame* f, CBitmap* bitmap) : CView(r) {
  frame = f;
  if (bitmap) setBackground(bitmap);
}

CViewContainer::~CViewContainer() { removeAll(true); }

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

bool CViewContainer::addView(CView* view, CView* before) {
  if (!view || view->isAttached()) return false;
  auto position = std::find(children.begin(), children.end(), before);
  children.insert(before ? position : children.end(), view);
  view->attached(this);
  view->invalid();
  return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
  auto it = std::find(children.begin(), children.end(), view);
  if (it == children.end()) return false;
  view->invalid();
  children.erase(it);
  if (mouseDownView == view) mouseDownView = nullptr;
  if (CFrame* f = getFrame()) f->onViewRemoved(view);
  view->removed(this);
  if (withForget) view->forget();
  return true;
}

bool CViewContainer::removeAll(bool withForget) {
  while (!children.empty()) removeView(children.back(), withForget);
  return true;
}

bool CViewContainer::isChild(const CView* view) const {
  return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0 || index >= getNbViews()) return nullptr;
  return children[static_cast<size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* view = *it;
    if (!view->isVisible() || !view->getMouseableArea().pointInside(where)) continue;
    if (deep) {
      if (auto* container = dynamic_cast<CViewContainer*>(view)) {
        CPoint inner = where - container->getChildOrigin();
        if (CView* child = container->getViewAt(inner, true)) return child;
      }
    }
    return view;
  }
  return nullptr;
}

void CViewContainer::getViewChainAt(const CPoint& where, std::vector<CView*>& chain) {
  CPoint local(where);
  frameToChild(local);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* view = *it;
    if (!view->isVisible() || !view->getMouseEnabled() ||
        !view->getMouseableArea().pointInside(local))
      continue;
    chain.push_back(view);
    if (auto* container = dynamic_cast<CViewContainer*>(view))
      container->getViewChainAt(where, chain);
    return;
  }
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, size); }

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect) {
  // updateRect is in children's coordinates here.
  if (background) {
    CRect all(0, 0, size.getWidth(), size.getHeight());
    background->draw(context, all, backgroundOffset);
  } else if (!transparent) {
    context->setFillColor(backgroundColor);
    context->drawRect(updateRect, kDrawFilled);
  }
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
  // updateRect arrives in the parent's coordinates; children draw in ours.
  const CPoint origin = getChildOrigin();
  CRect local(updateRect);
  local.bound(size);
  local.offset(-origin.x, -origin.y);
  if (local.isEmpty()) return;
  context->saveGlobalState();
  context->translate(origin.x, origin.y);
  context->setClipRect(local);
  drawBackgroundRect(context, local);
  for (CView* view : children) {
    if (!view->isVisible() || !view->getViewSize().rectOverlap(local)) continue;
    CRect clip(view->getViewSize());
    clip.bound(local);
    context->saveGlobalState();
    context->setClipRect(clip);
    view->drawRect(context, clip);
    context->restoreGlobalState();
  }
  context->restoreGlobalState();
  CView::setDirty(false);
}

bool CViewContainer::takesPointerAt(CView* view, const CPoint& local,
                                    const CButtonState& buttons) const {
  return isChild(view) && view->isVisible() && view->getMouseEnabled() &&
         view->hitTest(local, buttons);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  CPoint local(where);
  local -= getChildOrigin();
  // A handler may add or remove views; walk a copy and skip what has gone.
  const std::vector<CView*> snapshot(children);
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    CView* view = *it;
    if (!takesPointerAt(view, local, buttons)) continue;
    CBaseObjectGuard guard(view);
    auto* control = dynamic_cast<CControl*>(view);
    if (control && control->getListener() && (buttons & kModifierMask)) {
      if (control->getListener()->controlModifierClicked(control, buttons) != 0)
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (view->wantsFocus() && getFrame()) getFrame()->setFocusView(view);
    CPoint p(local);
    const CMouseEventResult result = view->onMouseDown(p, buttons);
    if (result == kMouseEventHandled && isChild(view)) {
      mouseDownView = view;
      return result;
    }
    if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) return result;
    // A transparent view that declines lets the views beneath it try.
    if (!view->getTransparency()) return result;
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView) return kMouseEventNotHandled;
  CView* view = mouseDownView;
  CBaseObjectGuard guard(view);
  CPoint p(where);
  p -= getChildOrigin();
  view->onMouseUp(p, buttons);
  mouseDownView = nullptr;
  return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView) return kMouseEventNotHandled;
  CView* view = mouseDownView;
  CBaseObjectGuard guard(view);
  CPoint p(where);
  p -= getChildOrigin();
  const CMouseEventResult result = view->onMouseMoved(p, buttons);
  if (result != kMouseEventHandled && mouseDownView == view) mouseDownView = nullptr;
  return result;
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance,
                             const CButtonState& buttons) {
  CPoint local(where);
  local -= getChildOrigin();
  const std::vector<CView*> snapshot(children);
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    CView* view = *it;
    if (!takesPointerAt(view, local, buttons)) continue;
    CBaseObjectGuard guard(view);
    if (view->onWheel(local, distance, buttons)) return true;
  }
  return false;
}

bool CViewContainer::hitTest(const CPoint& where, const CButtonState& buttons) {
  return CView::hitTest(where, buttons);
}

void CViewContainer::setDirty(bool state) {
  CView::setDirty(state);
  if (!state)
    for (CView* view : children) view->setDirty(false);
}

bool CViewContainer::isDirty() const {
  if (CView::isDirty()) return true;
  return std::any_of(children.begin(), children.end(),
                     [](CView* v) { return v->isVisible() && v->isDirty(); });
}

void CViewContainer::invalidateDirtyViews() {
  if (!visible) return;
  if (CView::isDirty()) {
    invalid();
    return;
  }
  for (CView* view : children) {
    if (auto* container = dynamic_cast<CViewContainer*>(view))
      container->invalidateDirtyViews();
    else if (view->isVisible() && view->isDirty())
      view->invalid();
  }
}

void CViewContainer::invalid() {
  setDirty(false);
  CView::invalidRect(size);
}

void CViewContainer::invalidRect(const CRect& rect) {
  // rect is in children's coordinates; the parent wants ours.
  CRect r(rect);
  const CPoint origin = getChildOrigin();
  r.offset(origin.x, origin.y);
  r.bound(size);
  if (!r.isEmpty()) CView::invalidRect(r);
}

bool CViewContainer::attached(CViewContainer* parent) {
  CView::attached(parent);
  for (CView* view : children) view->attached(this);
  return true;
}

bool CViewContainer::removed(CViewContainer* parent) {
  for (CView* view : children) view->removed(this);
  return CView::removed(parent);
}

CPoint& CViewContainer::childToFrame(CPoint& point) const {
  point += getChildOrigin();
  return localToFrame(point);
}

CPoint& CViewContainer::frameToChild(CPoint& point) const {
  frameToLocal(point);
  point -= getChildOrigin();
  return point;
}

bool CViewContainer::isTypeOf(const char* type) const {
  return std::strcmp(type, "CViewContainer") == 0 || CView::isTypeOf(type);
}
