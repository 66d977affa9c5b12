#pragma once

#include "gui/CColor.h"
#include "gui/CView.h"

#include <vector>

// A view holding child views, drawn in order and hit-tested topmost (last added) first.
// Children are positioned in the container's own coordinates (its top-left is their origin).
// The container owns the reference of each view added to it.
class CViewContainer : public CView {
 public:
  explicit CViewContainer(const CRect& size, CFrame* frame = nullptr,
                          CBitmap* background = nullptr);
  ~CViewContainer() override;

  virtual bool addView(CView* view);
  // Removes the view and releases the container's reference.
  virtual void removeView(CView* view);
  virtual void removeAll();
  bool isChild(const CView* view) const;
  int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
  CView* getView(int32_t index) const;
  // The topmost child whose area contains the point (container coordinates).
  CView* getViewAt(const CPoint& where) const;
  // The chain of views under the point, outermost first (frame coordinates for `where`).
  void getViewChainAt(const CPoint& where, std::vector<CView*>& chain);

  void setBackgroundColor(const CColor& color) { backgroundColor = color; }
  CColor getBackgroundColor() const { return backgroundColor; }

  void draw(CDrawContext* context) override;
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  virtual void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
  bool hitTest(const CPoint& where, const CButtonState& buttons = CButtonState()) override;

  void setDirty(bool state = true) override;
  bool isDirty() const override;
  // Invalidates every dirty view below this one.
  void invalidateDirtyViews();
  void invalid() override;
  // Takes a rectangle in the children's coordinates.
  void invalidRect(const CRect& rect) override;

  bool attached(CViewContainer* parent) override;
  bool removed(CViewContainer* parent) override;

  // Offset of the children's coordinate system against the parent's.
  virtual CPoint getChildOrigin() const { return size.getTopLeft(); }
  CPoint& childToFrame(CPoint& point) const;
  CPoint& frameToChild(CPoint& point) const;

  CView* getMouseDownView() const { return mouseDownView; }
  void setMouseDownView(CView* view) { mouseDownView = view; }

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return nullptr; }

 protected:
  // A child still present and mouse-enabled whose area holds `local`: the views a click or
  // wheel turn is offered to, topmost first.
  bool takesPointerAt(CView* view, const CPoint& local, const CButtonState& buttons) const;

  std::vector<CView*> children;
  CColor backgroundColor = kBlackCColor;
  CView* mouseDownView = nullptr;
};
