#pragma once

#include "gui/CViewContainer.h"
#include "gui/CairoHandles.h"
#include "gui/IPlatformFrame.h"
#include "gui/VSTGUIEditorInterface.h"

#include <memory>
#include <vector>

// The root container of an editor window. It owns the views added to it, dispatches events
// (to a modal view only, while one is set), tracks the views under the mouse, the focus view,
// and renders invalid regions into its back buffer at idle.
//
// Layout, events and invalid regions are in layout pixels whatever the scale factor; only the
// back buffer and the window have `scale` device pixels for each.
class CFrame : public CViewContainer {
 public:
  // With a parent window handle the frame opens its window inside it; without, it runs
  // headless (everything except the window works).
  CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor,
         double scaleFactor = 1.0);
  ~CFrame() override;

  // Commits any text editing, removes and releases all views, closes the window and
  // releases the frame itself.
  void close();
  bool hasPlatformWindow() const { return platformFrame != nullptr; }
  IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }

  // Drains window events, invalidates dirty views and redraws.
  void idle();
  // Draws every pending invalid region into the back buffer and copies it to the window.
  void render();
  cairo_surface_t* getBackBuffer() const { return backBuffer.get(); }
  // Device pixels per layout pixel.
  double getScaleFactor() const { return scaleFactor; }
  // Redraws everything at another factor: the back buffer and the window take the new size.
  void setScaleFactor(double factor);
  // The back buffer's size in device pixels.
  int getDeviceWidth() const;
  int getDeviceHeight() const;
  const std::vector<CRect>& getInvalidRects() const { return invalidRects; }
  const std::vector<CRect>& getLastRenderedRects() const { return lastRendered; }

  bool setModalView(CView* view);
  CView* getModalView() const { return modalView; }
  void setFocusView(CView* view);
  CView* getFocusView() const { return focusView; }

  // The editor's knob mode; circular without an editor.
  int32_t getKnobMode() const;
  void beginEdit(int32_t tag);
  void endEdit(int32_t tag);
  VSTGUIEditorInterface* getEditor() const { return editor; }
  CButtonState getCurrentMouseButtons() const { return currentButtons; }

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  // The pointer left the window.
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;
  int32_t onKeyUp(CKeyCode& keyCode) override;

  void invalid() override;
  void invalidRect(const CRect& rect) override;
  CPoint getChildOrigin() const override { return CPoint(0, 0); }
  void drawBackgroundRect(CDrawContext* context, const CRect& updateRect) override;

  bool isTypeOf(const char* type) const override;

  // Called by containers when a view leaves the tree, so no dangling reference stays here.
  void onViewRemoved(CView* view);

 private:
  void createBackBuffer();
  void checkMouseViews(const CPoint& where, const CButtonState& buttons);
  void clearMouseViews(const CPoint& where, const CButtonState& buttons);

  VSTGUIEditorInterface* editor;
  std::unique_ptr<IPlatformFrame> platformFrame;
  std::unique_ptr<IPlatformFrame> retiredPlatformFrame;
  int idleDepth = 0;
  double scaleFactor = 1.0;
  CairoSurfacePtr backBuffer;
  std::vector<CRect> invalidRects;
  std::vector<CRect> lastRendered;
  std::vector<CView*> mouseViews;
  CView* modalView = nullptr;
  CView* focusView = nullptr;
  CButtonState currentButtons;
  bool closing = false;
};
