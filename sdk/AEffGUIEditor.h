#pragma once

#include "sdk/AEffEditor.h"

class CFrame;

// An editor that shows a toolkit frame. Parameter changes reach it through setParameter;
// controls report their gestures back through beginEdit/endEdit, which go to the host.
class AEffGUIEditor : public AEffEditor {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override = default;

  bool getRect(ERect** rect) override;
  bool open(void* parentWindow) override;
  void close() override;
  void idle() override;
  bool setKnobMode(VstInt32 mode) override;

  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual void beginEdit(VstInt32 index);
  virtual void endEdit(VstInt32 index);

  // Knob mode as the host last set it: 0 circular, 1 relative circular, 2 linear.
  VstInt32 getKnobMode() const { return knobMode; }
  CFrame* getFrame() const { return frame; }

 protected:
  ERect rect{0, 0, 0, 0};
  CFrame* frame = nullptr;
  VstInt32 knobMode = 0;
};
