#include "gui/CViewContainer.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <algorithm>
#include <cstring>

CViewContainer::CViewContainer(const CRect& r, CFrame* f, CBitmap* bitmap) : CView(r) {
  frame = f;
  if (bitmap) setBackground(bitmap);
}

CViewContainer::~CViewContainer() { removeAll(); }

bool CViewContainer::addView(CView* view) {
  if (!view || view->isAttached()) return false;
  children.push_back(view);
  view->attached(this);
  view->invalid();
  return true;
}

void CViewContainer::removeView(CView* view) {
  auto it = std::find(children.begin(), children.end(), view);
  if (it == children.end()) return;
  view->invalid();
  children.erase(it);
  if (mouseDownView == view) mouseDownView = nullptr;
  if (CFrame* f = getFrame()) f->onViewRemoved(view);
  view->removed(this);
  view->forget();
}

void CViewContainer::removeAll() {
  while (!children.empty()) removeView(children.back());
}

bool CViewContainer::isChild(const CView* view) const {
  return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0 || index >= getNbViews()) return nullptr;
  return children[static_cast<size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where) const {
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if ((*it)->getMouseableArea().pointInside(where)) return *it;
  return nullptr;
}

void CViewContainer::getViewChainAt(const CPoint& where, std::vector<CView*>& chain) {
  CPoint local(where);
  frameToChild(local);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* view = *it;
    if (!view->getMouseEnabled() || !view->getMouseableArea().pointInside(local)) continue;
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
    background->draw(context, all);
  } else {
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
    if (!view->getViewSize().rectOverlap(local)) continue;
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
  return isChild(view) && view->getMouseEnabled() && view->hitTest(local, buttons);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  CPoint local(where);
  local -= getChildOrigin();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* view = *it;
    if (!takesPointerAt(view, local, buttons)) continue;
    // The handler may remove the view, or close the window: the view outlives the call.
    CBaseObjectGuard guard(view);
    CPoint p(local);
    const CMouseEventResult result = view->onMouseDown(p, buttons);
    if (result == kMouseEventHandled && isChild(view)) mouseDownView = view;
    return result;
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
  return std::any_of(children.begin(), children.end(), [](CView* v) { return v->isDirty(); });
}

void CViewContainer::invalidateDirtyViews() {
  if (CView::isDirty()) {
    invalid();
    return;
  }
  for (CView* view : children) {
    if (auto* container = dynamic_cast<CViewContainer*>(view))
      container->invalidateDirtyViews();
    else if (view->isDirty())
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
