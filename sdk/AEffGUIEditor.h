#pragma once

#include "gui/VSTGUIEditorInterface.h"
#include "sdk/AEffEditor.h"

class CFrame;

// An editor that shows a toolkit frame. Parameter changes reach it through setParameter;
// controls report their gestures back through beginEdit/endEdit, which go to the host.
// Everything the window does (events, redraws, running file dialogs) happens inside the
// host's editor-idle call; there is no thread of our own.
class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  // Closes a frame the host left open.
  ~AEffGUIEditor() override;

  bool getRect(ERect** rect) override;
  bool open(void* parentWindow) override;
  void close() override;
  // Open means a window exists: a frame whose window could not be created is not open.
  bool isOpen() override;
  void idle() override;
  bool onKeyDown(VstKeyCode& keyCode) override;
  bool onKeyUp(VstKeyCode& keyCode) override;
  bool setKnobMode(VstInt32 mode) override;

  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  void beginEdit(VstInt32 index) override;
  void endEdit(VstInt32 index) override;

  // Knob mode as the host last set it: 0 circular, 1 relative circular, 2 linear.
  VstInt32 getKnobMode() const override { return knobMode; }
  CFrame* getFrame() const { return frame; }

 protected:
  // Closes a window left open at destruction without calling the controls' listener; the
  // gesture brackets cut short still reach the host through beginEdit/endEdit.
  void closeFrameForDestruction();

  ERect rect{0, 0, 0, 0};
  CFrame* frame = nullptr;
  VstInt32 knobMode = 0;
};
