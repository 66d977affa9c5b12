// What the preset row's controls do. Gestures arrive on the window thread, inside the frame's
// event handling, so the controls are changed directly here.

#include <algorithm>
#include <cstdlib>
#include <string>

#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "platform/XPlatAlert.h"
#include "presets/CPSKickButton.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace {

// Below the user's home folder.
constexpr const char* kManualInHome =
    "Documents/www.zal-audio.example/ZAL Veltrane/ZAL Veltrane Manual.pdf";

// Default bank and preset buttons: a double-click gives 1.0 (store), Control + double-click
// 0.5 (forget).
constexpr float kStoreThreshold = 0.75f;

// A right-click on a load button asks for the other byte order.
constexpr float kReversedLoad = 0.5f;

}  // namespace

void CPresetSystemEditor::valueChanged(CControl* control) {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr || control == nullptr) return;
  const int32_t tag = control->getTag();
  if (tag < kFirstPanelTag || tag > kLastPanelTag) return;
  const float value = control->getValue();
  const int current = currentPresetNumber();

  switch (tag) {
    case kTagName:
      handleNameTyped(control);
      break;
    case kTagPresetRocker:
      if (value > 0.f) {
        const int next = std::min(current + 1, kNumPresets - 1);
        selectPreset(next, storedName(next));
      } else if (value < 0.f) {
        const int previous = std::max(current - 1, 0);
        selectPreset(previous, storedName(previous));
      }
      break;
    case kTagLoadBank:
      loadBank(value == kReversedLoad);
      break;
    case kTagSaveBank:
      saveBank();
      break;
    case kTagLoadPreset:
      loadPreset(value == kReversedLoad);
      break;
    case kTagSavePreset:
      savePreset();
      break;
    case kTagPresetMenu: {
      const int chosen = static_cast<int>(value + 0.5f);
      auto* menu = dynamic_cast<COptionMenu*>(control);
      const CMenuItem* entry = menu != nullptr ? menu->getEntry(chosen) : nullptr;
      if (chosen >= 0 && chosen < kNumPresets && entry != nullptr)
        selectPreset(chosen, entry->getTitle());
      break;
    }
    case kTagDefaultBank:
      if (value < kStoreThreshold)
        resetDefaultBank();
      else
        saveDefaultBank();
      break;
    case kTagDefaultPreset:
      if (value < kStoreThreshold)
        resetDefaultPreset();
      else
        saveDefaultPreset();
      break;
    case kTagStoreA:
      storeA();
      break;
    case kTagStoreB:
      storeB();
      break;
    case kTagRecallA:
      recallA();
      break;
    case kTagRecallB:
      recallB();
      break;
    case kTagManual:
      openManual();
      break;
    default:
      break;
  }
  // A load or recall marked the row stale; on this thread it can be shown at once.
  refreshPanel();
}

void CPresetSystemEditor::handleNameTyped(CControl* control) {
  // The control itself, not the kept pointer: a field committed while the window closes
  // reports after the pointers are gone.
  auto* field = dynamic_cast<CTextEdit*>(control);
  if (field == nullptr) return;
  std::string text = field->getText();
  if (text.size() > kNameFieldChars) text.resize(kNameFieldChars);
  field->setText(text.c_str());
  if (presetMenu != nullptr) {
    showNameInEntry(presetMenu->getCurrent(), text);
    presetMenu->invalid();
  }
  presetEffect()->setPresetName(text.c_str());
}

void CPresetSystemEditor::selectPreset(int number, const std::string& name) {
  CPresetSystemEffect* effect = presetEffect();
  if (presetMenu != nullptr) presetMenu->setCurrent(number);
  if (nameField != nullptr) nameField->setText(name.c_str());
  effect->setPresetNo(number);
  effect->setPresetName(name.c_str());
}

std::string CPresetSystemEditor::manualPath() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  std::string path = home;
  if (path.back() != '/') path += '/';
  return path + kManualInHome;
}

void CPresetSystemEditor::openManual() {
  const std::string path = manualPath();
  // The opener's own verdict arrives later, at an idle; a missing file or a program that
  // cannot start is known now.
  if (path.empty() || !manualOpener.open(path)) reportManualFailure();
  // The press may never see its release: the alert or the viewer takes the pointer.
  if (manualButton != nullptr) {
    manualButton->setPressed(false);
    manualButton->invalid();
  }
}

void CPresetSystemEditor::reportManualFailure() {
  const std::string message =
      std::string("Could not open manual file:\n~/\"") + kManualInHome + "\"";
  XPlatDisplayAlert(message.c_str());
}
