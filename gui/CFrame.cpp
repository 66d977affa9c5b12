#include "gui/CFrame.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

CFrame::CFrame(const CRect& r, void* systemWindow, VSTGUIEditorInterface* e, double scale)
    : CViewContainer(CRect(0, 0, r.getWidth(), r.getHeight()), nullptr, nullptr),
      editor(e),
      scaleFactor(scale > 0 ? scale : 1.0) {
  frame = this;
  createBackBuffer();
  invalid();
  if (systemWindow) platformFrame = createPlatformFrame(*this, systemWindow);
}

void CFrame::createBackBuffer() {
  backBuffer.reset(cairo_image_surface_create(
      CAIRO_FORMAT_RGB24, std::max(1, static_cast<int>(std::ceil(size.getWidth() * scaleFactor))),
      std::max(1, static_cast<int>(std::ceil(size.getHeight() * scaleFactor)))));
}

int CFrame::getDeviceWidth() const { return cairo_image_surface_get_width(backBuffer.get()); }

int CFrame::getDeviceHeight() const { return cairo_image_surface_get_height(backBuffer.get()); }

void CFrame::setScaleFactor(double factor) {
  if (!(factor > 0) || factor == scaleFactor) return;
  scaleFactor = factor;
  createBackBuffer();
  invalidRects.clear();
  invalid();
  if (platformFrame) platformFrame->scaleFactorChanged();
}

CFrame::~CFrame() {
  closing = true;
  removeAll();
  platformFrame.reset();
}

void CFrame::close() {
  CPoint nowhere(-1, -1);
  clearMouseViews(nowhere, CButtonState());
  setFocusView(nullptr);
  closing = true;
  removeAll();
  modalView = nullptr;
  // Closed from inside an event the window is dispatching: the window object must outlive
  // that dispatch, so it goes with the frame, after idle has returned.
  if (idleDepth > 0) retiredPlatformFrame = std::move(platformFrame);
  platformFrame.reset();
  forget();
}

void CFrame::idle() {
  CBaseObjectGuard guard(this);
  ++idleDepth;
  struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
  } depthGuard{idleDepth};
  if (platformFrame) platformFrame->processEvents();
  invalidateDirtyViews();
  render();
}

namespace {

CRect pixelAligned(const CRect& r) {
  return CRect(std::floor(r.left), std::floor(r.top), std::ceil(r.right), std::ceil(r.bottom));
}

// The smallest rectangle around `r` whose edges fall on whole device pixels: a region's edge
// pixels are then drawn whole, not blended with what the buffer held before.
CRect deviceAligned(const CRect& r, double scale) {
  if (scale == 1.0) return r;
  return CRect(std::floor(r.left * scale) / scale, std::floor(r.top * scale) / scale,
               std::ceil(r.right * scale) / scale, std::ceil(r.bottom * scale) / scale);
}

// Unites overlapping regions so shared pixels are drawn once.
void mergeRects(std::vector<CRect>& rects) {
  bool merged = true;
  while (merged) {
    merged = false;
    for (size_t i = 0; i < rects.size() && !merged; ++i)
      for (size_t j = i + 1; j < rects.size() && !merged; ++j)
        if (rects[i].rectOverlap(rects[j])) {
          rects[i].unite(rects[j]);
          rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
        }
  }
}

}  // namespace

void CFrame::render() {
  lastRendered.clear();
  if (invalidRects.empty()) {
    // Exposed regions may still be waiting to be copied.
    if (platformFrame) platformFrame->copyToWindow({});
    return;
  }
  std::vector<CRect> rects;
  rects.swap(invalidRects);
  mergeRects(rects);
  CDrawContext context(backBuffer.get(), scaleFactor);
  for (const CRect& r : rects) {
    const CRect area = deviceAligned(r, scaleFactor);
    context.saveGlobalState();
    context.setClipRect(area);
    drawRect(&context, area);
    context.restoreGlobalState();
  }
  cairo_surface_flush(backBuffer.get());
  lastRendered = rects;
  if (platformFrame) platformFrame->copyToWindow(rects);
}

void CFrame::drawBackgroundRect(CDrawContext* context, const CRect& updateRect) {
  context->setFillColor(backgroundColor);
  context->drawRect(updateRect, kDrawFilled);
  if (background) background->draw(context, size);
}

void CFrame::invalid() {
  CView::setDirty(false);
  invalidRect(size);
}

void CFrame::invalidRect(const CRect& rect) {
  if (closing) return;
  CRect r = pixelAligned(rect);
  r.bound(size);
  if (r.isEmpty()) return;
  for (const CRect& existing : invalidRects) {
    CRect inter(existing);
    if (inter.bound(r) == r) return;
  }
  invalidRects.push_back(r);
}

bool CFrame::setModalView(CView* view) {
  if (view && modalView) return false;
  if (modalView) {
    CView* old = modalView;
    modalView = nullptr;
    removeView(old);
  }
  if (view) {
    if (view->isAttached()) return false;
    view->remember();
    if (!addView(view)) {
      view->forget();
      return false;
    }
    modalView = view;
    clearMouseViews(CPoint(-1, -1), CButtonState());
  }
  return true;
}

void CFrame::setFocusView(CView* view) {
  if (view == focusView) return;
  CView* old = focusView;
  focusView = view;
  if (old) {
    CBaseObjectGuard guard(old);
    old->looseFocus();
  }
  if (focusView) focusView->takeFocus();
  if (platformFrame) platformFrame->setKeyboardCapture(focusView != nullptr);
}

int32_t CFrame::getKnobMode() const { return editor ? editor->getKnobMode() : kCircularMode; }

void CFrame::beginEdit(int32_t tag) {
  if (editor) editor->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
  if (editor) editor->endEdit(tag);
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  currentButtons = buttons;
  // A click anywhere but in the field being edited ends the edit (and commits it).
  if (focusView) {
    CPoint local(where);
    focusView->frameToLocal(local);
    if (!focusView->getViewSize().pointInside(local)) setFocusView(nullptr);
  }
  if (modalView) {
    CView* view = modalView;
    if (!view->getMouseEnabled() || !view->hitTest(where, buttons)) return kMouseEventHandled;
    CBaseObjectGuard viewGuard(view);
    CPoint p(where);
    // The product's modal views (the open menu, the about box) act on the press alone and
    // want no moves or release.
    const CMouseEventResult result = view->onMouseDown(p, buttons);
    return result == kMouseEventNotHandled ? kMouseEventHandled : result;
  }
  const CMouseEventResult result = CViewContainer::onMouseDown(where, buttons);
  if (result == kMouseEventNotHandled && editor && getViewAt(where) == nullptr &&
      editor->onBackgroundMouseDown(where, buttons))
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  return result;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  currentButtons = CButtonState((currentButtons & ~buttons.getButtonState() & ~kDoubleClick) |
                                buttons.getModifierState());
  const CMouseEventResult result = CViewContainer::onMouseUp(where, buttons);
  checkMouseViews(where, CButtonState(buttons.getModifierState()));
  return result;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  currentButtons = buttons;
  if (mouseDownView) return CViewContainer::onMouseMoved(where, buttons);
  const CButtonState modifiers(buttons.getModifierState());
  checkMouseViews(where, modifiers);
  const std::vector<CView*> views(mouseViews);
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    CView* view = *it;
    if (std::find(mouseViews.begin(), mouseViews.end(), view) == mouseViews.end()) continue;
    CPoint p(where);
    view->frameToLocal(p);
    if (view->onMouseMoved(p, modifiers) == kMouseEventHandled) return kMouseEventHandled;
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView) clearMouseViews(where, buttons);
  return kMouseEventHandled;
}

void CFrame::checkMouseViews(const CPoint& where, const CButtonState& buttons) {
  std::vector<CView*> chain;
  if (modalView) {
    if (modalView->getMouseEnabled() && modalView->getMouseableArea().pointInside(where))
      chain.push_back(modalView);
  } else {
    getViewChainAt(where, chain);
  }
  // Leave the views no longer under the pointer, innermost first.
  for (size_t i = mouseViews.size(); i-- > 0;) {
    CView* view = mouseViews[i];
    if (std::find(chain.begin(), chain.end(), view) != chain.end()) continue;
    mouseViews.erase(mouseViews.begin() + static_cast<std::ptrdiff_t>(i));
    CPoint p(where);
    view->frameToLocal(p);
    view->onMouseExited(p, buttons);
    view->forget();
  }
  for (CView* view : chain) {
    if (std::find(mouseViews.begin(), mouseViews.end(), view) != mouseViews.end()) continue;
    view->remember();
    mouseViews.push_back(view);
    CPoint p(where);
    view->frameToLocal(p);
    view->onMouseEntered(p, buttons);
  }
}

void CFrame::clearMouseViews(const CPoint& where, const CButtonState& buttons) {
  while (!mouseViews.empty()) {
    CView* view = mouseViews.back();
    mouseViews.pop_back();
    CPoint p(where);
    view->frameToLocal(p);
    view->onMouseExited(p, buttons);
    view->forget();
  }
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  CBaseObjectGuard guard(this);
  if (modalView) {
    CView* view = modalView;
    if (!view->getMouseEnabled() || !view->hitTest(where, buttons)) return false;
    CBaseObjectGuard viewGuard(view);
    return view->onWheel(where, distance, buttons);
  }
  return CViewContainer::onWheel(where, distance, buttons);
}

int32_t CFrame::onKeyDown(CKeyCode& keyCode) {
  CBaseObjectGuard guard(this);
  if (modalView) {
    CBaseObjectGuard viewGuard(modalView);
    const int32_t result = modalView->onKeyDown(keyCode);
    if (result != -1) return result;
  }
  if (focusView) {
    CBaseObjectGuard viewGuard(focusView);
    return focusView->onKeyDown(keyCode);
  }
  return -1;
}

int32_t CFrame::onKeyUp(CKeyCode& keyCode) {
  if (modalView) {
    const int32_t result = modalView->onKeyUp(keyCode);
    if (result != -1) return result;
  }
  return focusView ? focusView->onKeyUp(keyCode) : -1;
}

void CFrame::onViewRemoved(CView* view) {
  if (view == modalView) modalView = nullptr;
  if (view == focusView) {
    focusView = nullptr;
    if (platformFrame) platformFrame->setKeyboardCapture(false);
  }
  // The removed view and anything inside it leave the hover chain.
  for (size_t i = mouseViews.size(); i-- > 0;) {
    CView* hovered = mouseViews[i];
    bool inside = hovered == view;
    for (CView* p = hovered->getParentView(); p && !inside; p = p->getParentView())
      inside = p == view;
    if (inside) {
      mouseViews.erase(mouseViews.begin() + static_cast<std::ptrdiff_t>(i));
      hovered->forget();
    }
  }
}

bool CFrame::isTypeOf(const char* type) const {
  return std::strcmp(type, "CFrame") == 0 || CViewContainer::isTypeOf(type);
}
