#include "presets/CPresetSystemEditor.h"

#include <cstdio>
#include <cstring>

#include "presets/CPresetSystemEffect.h"

namespace {

constexpr const char* kKeyCurrDir = "CurrDir";
constexpr const char* kKeyCurrBank = "CurrBank";
constexpr const char* kKeyCurrPreset = "CurrPreset";
constexpr const char* kKeyDefaultBank = "DefaultBank";
constexpr const char* kKeyDefaultPreset = "DefaultPreset";
constexpr const char* kKeyMemoA = "MemoAPreset";
constexpr const char* kKeyMemoB = "MemoBPreset";

// A stored entry holds more than the ID to be worth reading.
constexpr std::size_t kMinStoredBytes = 5;

}  // namespace

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect) : AEffGUIEditor(effect) {}

CPresetSystemEditor::~CPresetSystemEditor() { storePathsAndFilenames(); }

CPresetSystemEffect* CPresetSystemEditor::presetEffect() const {
  return dynamic_cast<CPresetSystemEffect*>(effect);
}

void CPresetSystemEditor::showAllMenuEntries() {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr) return;
  for (int k = 0; k < kNumPresets; ++k) showMenuEntry(k, effect->presetName(k));
}

// Reached from the effect's setProgramName, on whatever thread the host calls it: the name is
// in the store already, and idle shows it.
void CPresetSystemEditor::nameChangedExternal(const char* /*text*/) {
  panelStale.store(true, std::memory_order_release);
}

void CPresetSystemEditor::loadDefaults() {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr) return;
  effect->setPresetNo(0);
  loadDefaultBank();
  // A stored bank selects the preset that was current when it was saved; the default preset
  // must still land in preset 0, the one a new instance shows.
  effect->setPresetNo(0);
  loadDefaultPreset();
  recallPathsAndFilenames();
}

void CPresetSystemEditor::storeBuffer(const char* key, const Buffer& buffer) {
  if (!buffer.empty()) preferences.setBytes(key, buffer);
}

void CPresetSystemEditor::saveDefaultBank() {
  Buffer buffer;
  BankToBuffer(buffer);
  storeBuffer(kKeyDefaultBank, buffer);
}

void CPresetSystemEditor::saveDefaultPreset() {
  Buffer buffer;
  PresetToBuffer(buffer);
  storeBuffer(kKeyDefaultPreset, buffer);
}

void CPresetSystemEditor::storeA() {
  Buffer buffer;
  PresetToBuffer(buffer);
  storeBuffer(kKeyMemoA, buffer);
}

void CPresetSystemEditor::storeB() {
  Buffer buffer;
  PresetToBuffer(buffer);
  storeBuffer(kKeyMemoB, buffer);
}

void CPresetSystemEditor::resetDefaultBank() { preferences.remove(kKeyDefaultBank); }

void CPresetSystemEditor::resetDefaultPreset() { preferences.remove(kKeyDefaultPreset); }

void CPresetSystemEditor::loadDefaultBank() {
  auto bytes = preferences.getBytes(kKeyDefaultBank);
  if (bytes && bytes->size() >= kMinStoredBytes) loadBankBuffer(*bytes, false);
}

void CPresetSystemEditor::loadStoredPreset(const char* key) {
  auto bytes = preferences.getBytes(key);
  if (bytes && bytes->size() >= kMinStoredBytes) loadPresetBuffer(*bytes, false);
}

void CPresetSystemEditor::loadDefaultPreset() { loadStoredPreset(kKeyDefaultPreset); }

void CPresetSystemEditor::recallA() { loadStoredPreset(kKeyMemoA); }

void CPresetSystemEditor::recallB() { loadStoredPreset(kKeyMemoB); }

void CPresetSystemEditor::storePathsAndFilenames() {
  preferences.setText(kKeyCurrDir, currDir);
  preferences.setText(kKeyCurrBank, currBank);
  preferences.setText(kKeyCurrPreset, currPreset);
}

void CPresetSystemEditor::recallPathsAndFilenames() {
  const std::pair<const char*, char*> entries[] = {
      {kKeyCurrDir, currDir}, {kKeyCurrBank, currBank}, {kKeyCurrPreset, currPreset}};
  for (const auto& [key, buffer] : entries) {
    auto text = preferences.getText(key);
    if (!text) continue;
    // A stored name that does not fit is refused whole: a cut path would name another file.
    if (text->size() >= kXPlatNameBufferSize || text->find('\0') != std::string::npos) {
      std::fprintf(stderr, "Veltrane: stored %s is too long, ignored\n", key);
      continue;
    }
    std::memcpy(buffer, text->c_str(), text->size() + 1);
  }
}
