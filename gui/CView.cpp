#include "gui/CView.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CViewContainer.h"

#include <cstring>

CView::CView(const CRect& r) : size(r), mouseableArea(r) {}

CView::CView(const CView& other)
    : CBaseObject(other),
      size(other.size),
      mouseableArea(other.mouseableArea),
      background(other.background),
      mouseEnabled(other.mouseEnabled),
      transparent(other.transparent) {
  if (background) background->remember();
}

CView::~CView() {
  if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
  if (background) background->draw(context, size);
  setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }
int32_t CView::onKeyDown(CKeyCode&) { return -1; }
int32_t CView::onKeyUp(CKeyCode&) { return -1; }

bool CView::hitTest(const CPoint& where, const CButtonState&) {
  return mouseableArea.pointInside(where);
}

void CView::invalid() {
  setDirty(false);
  invalidRect(size);
}

void CView::invalidRect(const CRect& rect) {
  if (parentView) parentView->invalidRect(rect);
}

void CView::setViewSize(const CRect& rect, bool invalidate) {
  if (invalidate) invalid();
  size = rect;
  if (invalidate) invalid();
}

void CView::setBackground(CBitmap* bitmap) {
  if (bitmap) bitmap->remember();
  if (background) background->forget();
  background = bitmap;
  setDirty(true);
}

bool CView::attached(CViewContainer* parent) {
  parentView = parent;
  frame = parent ? parent->getFrame() : nullptr;
  return true;
}

bool CView::removed(CViewContainer* /*parent*/) {
  parentView = nullptr;
  frame = nullptr;
  return true;
}

CPoint& CView::localToFrame(CPoint& point) const {
  if (parentView) return parentView->childToFrame(point);
  return point;
}

CPoint& CView::frameToLocal(CPoint& point) const {
  if (parentView) return parentView->frameToChild(point);
  return point;
}

bool CView::isTypeOf(const char* type) const { return std::strcmp(type, "CView") == 0; }
