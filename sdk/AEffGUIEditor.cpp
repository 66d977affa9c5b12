#include "sdk/AEffGUIEditor.h"

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "resources/EmbeddedResources.h"
#include "sdk/AudioEffect.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
  // Bitmaps by number or name come from the pictures compiled into the plug-in.
  if (!CBitmap::getResourceProvider()) CBitmap::setResourceProvider(embeddedResourceProvider);
}

namespace {
// At destruction the controls' listener (the derived editor) may be gone and the effect is
// being taken apart; closing the frame must not call the listener, e.g. to commit a text
// field being edited.
void detachListeners(CViewContainer* container) {
  for (int32_t i = 0; i < container->getNbViews(); ++i) {
    CView* view = container->getView(i);
    if (auto* control = dynamic_cast<CControl*>(view)) control->setListener(nullptr);
    if (auto* inner = dynamic_cast<CViewContainer*>(view)) detachListeners(inner);
  }
}
}  // namespace

AEffGUIEditor::~AEffGUIEditor() { closeFrameForDestruction(); }

void AEffGUIEditor::closeFrameForDestruction() {
  if (frame) {
    detachListeners(frame);
    frame->close();
  }
  frame = nullptr;
}

bool AEffGUIEditor::getRect(ERect** result) {
  *result = &rect;
  return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
  systemWindow = parentWindow;
  return true;
}

void AEffGUIEditor::close() {
  // A derived editor normally closes its frame itself; one left over is closed here.
  if (frame) frame->close();
  frame = nullptr;
  systemWindow = nullptr;
}

bool AEffGUIEditor::isOpen() {
  if (frame) return frame->hasPlatformWindow();
  return systemWindow != nullptr;
}

void AEffGUIEditor::idle() {
  if (frame) frame->idle();
}

namespace {
CKeyCode toolkitKey(const VstKeyCode& key) {
  CKeyCode k;
  k.character = key.character;
  k.virt = key.virt;
  k.modifier = key.modifier;
  return k;
}
}  // namespace

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
  if (!frame) return false;
  CKeyCode key = toolkitKey(keyCode);
  return frame->onKeyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
  if (!frame) return false;
  CKeyCode key = toolkitKey(keyCode);
  return frame->onKeyUp(key) == 1;
}

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
