#include "sdk/AEffGUIEditor.h"

#include "sdk/AudioEffect.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}

bool AEffGUIEditor::getRect(ERect** result) {
  *result = &rect;
  return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
  systemWindow = parentWindow;
  return true;
}

void AEffGUIEditor::close() { systemWindow = nullptr; }

void AEffGUIEditor::idle() {}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  knobMode = mode;
  return true;
}

void AEffGUIEditor::beginEdit(VstInt32 index) {
  if (effect) effect->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index) {
  if (effect) effect->endEdit(index);
}
