#pragma once

#include "gui/CBaseObject.h"
#include "gui/CButtonState.h"
#include "gui/CKeyCode.h"
#include "gui/CRect.h"

#include <atomic>

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

// Base of everything drawn in a frame. Coordinates are those of the parent container.
class CView : public CBaseObject {
 public:
  explicit CView(const CRect& size);
  CView(const CView& other);
  ~CView() override;

  virtual void draw(CDrawContext* context);
  virtual void drawRect(CDrawContext* context, const CRect& updateRect);

  virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
  virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
  // 1 when the key was used, -1 otherwise.
  virtual int32_t onKeyDown(CKeyCode& keyCode);
  virtual int32_t onKeyUp(CKeyCode& keyCode);

  virtual bool hitTest(const CPoint& where, const CButtonState& buttons = CButtonState());

  // May be called from any thread: it only sets a flag that the frame's idle acts on.
  virtual void setDirty(bool state = true) { dirty.store(state, std::memory_order_relaxed); }
  virtual bool isDirty() const { return dirty.load(std::memory_order_relaxed); }
  // Marks the view clean and queues its rectangle for redrawing.
  virtual void invalid();
  virtual void invalidRect(const CRect& rect);

  const CRect& getViewSize() const { return size; }
  CRect& getViewSize(CRect& rect) const { return rect = size; }
  virtual void setViewSize(const CRect& rect, bool invalidate = true);
  const CRect& getMouseableArea() const { return mouseableArea; }
  void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
  CCoord getWidth() const { return size.getWidth(); }
  CCoord getHeight() const { return size.getHeight(); }

  virtual void setMouseEnabled(bool state) { mouseEnabled = state; }
  bool getMouseEnabled() const { return mouseEnabled; }
  virtual void setTransparency(bool state) { transparent = state; }
  bool getTransparency() const { return transparent; }

  virtual void setBackground(CBitmap* bitmap);
  CBitmap* getBackground() const { return background; }
  CBitmap* getDrawBackground() const { return background; }

  virtual void takeFocus() {}
  virtual void looseFocus() {}

  virtual bool attached(CViewContainer* parent);
  virtual bool removed(CViewContainer* parent);
  bool isAttached() const { return parentView != nullptr; }
  CViewContainer* getParentView() const { return parentView; }
  CFrame* getFrame() const { return frame; }

  CPoint& localToFrame(CPoint& point) const;
  CPoint& frameToLocal(CPoint& point) const;

  virtual bool isTypeOf(const char* type) const;
  virtual CView* newCopy() const { return new CView(*this); }

 protected:
  CRect size;
  CRect mouseableArea;
  CViewContainer* parentView = nullptr;
  CFrame* frame = nullptr;
  CBitmap* background = nullptr;
  bool mouseEnabled = true;
  bool transparent = false;

 private:
  std::atomic<bool> dirty{false};
};
