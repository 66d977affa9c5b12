// ADEditor at a scale factor: the size the host is told, the "Size" menu and the resizing of an
// open window.
#include <cmath>
#include <cstdio>

#include "editor/ADEditor.h"
#include "editor/CSizeMenu.h"
#include "gui/CFrame.h"
#include "sdk/AudioEffectX.h"

double ADEditor::chooseScaleFactor() {
  UiScaleSelector::Choice choice = scaleSelector.choose();
  // Each refused setting is told once, not at every size request a host makes.
  if (choice.warnings != reportedScaleWarnings) {
    for (const std::string& warning : choice.warnings)
      std::fprintf(stderr, "%s\n", warning.c_str());
    reportedScaleWarnings = std::move(choice.warnings);
  }
  return choice.factor;
}

void ADEditor::setRectFor(double scaleFactor) {
  rect.top = 0;
  rect.left = 0;
  rect.right = static_cast<VstInt16>(std::ceil(kWidth * scaleFactor));
  rect.bottom = static_cast<VstInt16>(std::ceil(kHeight * scaleFactor));
}

bool ADEditor::getRect(ERect** result) {
  setRectFor(frame != nullptr ? frame->getScaleFactor() : chooseScaleFactor());
  *result = &rect;
  return true;
}

void ADEditor::addSizeMenu() {
  sizeMenu = new CSizeMenu(this, kTagSizeMenu);
  sizeMenu->showChoice(scaleSelector.storedChoice());
  frame->addView(sizeMenu);
}

bool ADEditor::onBackgroundMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!buttons.isRightButton() || sizeMenu == nullptr || frame == nullptr) return false;
  sizeMenu->showChoice(scaleSelector.storedChoice());
  if (!sizeMenu->openAt(where)) return false;
  // Held down, the button can be dragged to an entry and released there.
  frame->setMouseDownView(sizeMenu);
  return true;
}

bool ADEditor::resizeHostWindow(int width, int height) {
  auto* host = dynamic_cast<AudioEffectX*>(effect);
  char sizeWindowCapability[] = "sizeWindow";
  return host != nullptr && host->canHostDo(sizeWindowCapability) > 0 &&
         host->sizeWindow(width, height);
}

void ADEditor::applySizeChoice() {
  if (!sizeChoicePending) return;
  sizeChoicePending = false;
  if (frame == nullptr) return;
  const double wanted = chooseScaleFactor();
  if (wanted == frame->getScaleFactor()) return;
  // A host that cannot resize its window gets the new size at the next opening.
  setRectFor(wanted);
  if (!resizeHostWindow(rect.right, rect.bottom)) {
    setRectFor(frame->getScaleFactor());
    return;
  }
  frame->setScaleFactor(wanted);
}
