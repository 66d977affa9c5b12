#include "presets/CPresetSystemEffect.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "presets/CPresetSystemEditor.h"

namespace {

constexpr const char* kBaseNames[kNumPresets] = {"Current", "Drum Group", "Snare", "Over Heads",
                                                 "Round"};

float loadValue(const float& slot) {
  return std::atomic_ref<float>(const_cast<float&>(slot)).load(std::memory_order_relaxed);
}

void storeValue(float& slot, float value) {
  std::atomic_ref<float>(slot).store(value, std::memory_order_relaxed);
}

// Names are written by host threads (chunks, program names) while the window thread shows
// them; byte-wise atomic access keeps that free of data races. A name read in the middle of
// a write may be torn, but the writer then marks the panel stale and it is read again.
void storeName(char* field, const char (&source)[kPresetNameLength]) {
  for (int i = 0; i < kPresetNameLength; ++i)
    std::atomic_ref<char>(field[i]).store(source[i], std::memory_order_relaxed);
}

void loadName(const char* field, char (&target)[kPresetNameLength]) {
  for (int i = 0; i < kPresetNameLength; ++i)
    target[i] = std::atomic_ref<char>(const_cast<char&>(field[i])).load(std::memory_order_relaxed);
}

}  // namespace

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, 1, kNumPresetValues) {
  programsAreChunks(true);
  CPresetSystemEffect::initPresets();
  copyPreset(defaultPreset, presets[0]);
  // The host's program stays 0 for good: setProgram ignores the host, and selections on
  // several threads need not write it again.
  curProgram = 0;
  presetNo = 0;
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

int CPresetSystemEffect::currentPreset() const {
  return static_cast<int>(std::clamp<std::int64_t>(presetNo.load(), 0, kNumPresets - 1));
}

// Numbers and indices outside the store read as 0 and are not written through.
float CPresetSystemEffect::presetValue(int number, int index) const {
  if (!holds(number, index)) return 0.0f;
  return loadValue(presets[number].values[index]);
}

void CPresetSystemEffect::setPresetValue(int number, int index, float value) {
  if (!holds(number, index)) return;
  storeValue(presets[number].values[index], value);
}

void CPresetSystemEffect::copyPreset(PresetRecord& to, const PresetRecord& from) {
  if (&to == &from) return;
  char name[kPresetNameLength];
  loadName(from.name, name);
  storeName(to.name, name);
  for (int i = 0; i < kNumPresetValues; ++i) storeValue(to.values[i], loadValue(from.values[i]));
}

void CPresetSystemEffect::applyNameRule(char* name, const char* text) {
  // Through a copy: the text may be the field itself (a loaded preset's name handed to
  // setPresetName), which zeroing first would erase.
  char field[kPresetNameLength] = {};
  std::memcpy(field, text,
              std::min<size_t>(strnlen(text, kPresetNameLength), kPresetNameLength - 1));
  storeName(name, field);
}

void CPresetSystemEffect::copyPresetName(int preset, char (&name)[kPresetNameLength]) const {
  loadName(presets[preset].name, name);
}

void CPresetSystemEffect::setPresetNameOf(int number, const char* text) {
  if (number >= 0 && number < kNumPresets && text) applyNameRule(presets[number].name, text);
}

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
  if (index >= 0 && index < kNumPresetValues) setPresetValue(currentPreset(), index, value);
}

float CPresetSystemEffect::getParameter(VstInt32 index) {
  if (index < 0 || index >= kNumPresetValues) return -1.0f;
  return presetValue(currentPreset(), index);
}

// Hosts hand 24-byte buffers: the name and its terminator must fit in them.
void CPresetSystemEffect::getProgramName(char* text) {
  vstCopyText(text, presets[currentPreset()].name, kPresetNameLength - 1);
}

void CPresetSystemEffect::setProgramName(char* text) {
  if (!text) return;
  applyNameRule(presets[currentPreset()].name, text);
  if (CPresetSystemEditor* panel = presetEditor()) {
    char cut[kPresetNameLength + 1] = {};
    std::strncpy(cut, text, kPresetNameLength);
    panel->nameChangedExternal(cut);
  }
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (index < 0 || index >= kNumPresets) return false;
  vstCopyText(text, presets[index].name, kPresetNameLength - 1);
  return true;
}

// Selections may run on several threads at once (a host restoring a chunk while the panel
// switches presets) and host automation may arrive on the audio thread meanwhile, so no lock
// is taken: a count of running pushes tells setParameter not to store what they push, and a
// push that finds another selection came in while it ran pushes the then current preset
// again, so the values of the selection made last are the ones that stay.
void CPresetSystemEffect::setPresetNo(std::int64_t number) {
  if (number < 0 || number >= kNumPresets) return;
  presetPushes.fetch_add(1);
  presetNo = number;
  std::uint64_t seen = presetSelections.fetch_add(1) + 1;
  for (;;) {
    const int current = currentPreset();
    for (int i = 0; i < kNumPresetValues; ++i) setParameter(i, presetValue(current, i));
    const std::uint64_t now = presetSelections.load();
    if (now == seen) break;
    seen = now;
  }
  updateDisplay();
  beginEdit(0);
  endEdit(0);
  if (constructing.exchange(false)) presetPushes.fetch_sub(1);
  presetPushes.fetch_sub(1);
}

void CPresetSystemEffect::setPresetName(const char* text) {
  if (text) applyNameRule(presets[currentPreset()].name, text);
  updateDisplay();
}

void CPresetSystemEffect::initializePreset(int number) {
  if (number >= 0 && number < kNumPresets) copyPreset(presets[number], defaultPreset);
}

void CPresetSystemEffect::loadDefaults() {
  copyPreset(defaultPreset, presets[0]);
  if (CPresetSystemEditor* panel = presetEditor()) panel->loadDefaults();
}

CPresetSystemEditor* CPresetSystemEffect::presetEditor() const {
  return dynamic_cast<CPresetSystemEditor*>(editor);
}

void CPresetSystemEffect::initPresets() {
  for (int p = 0; p < kNumPresets; ++p) {
    applyNameRule(presets[p].name, kBaseNames[p]);
    for (int i = 0; i < kNumPresetValues; ++i) setPresetValue(p, i, 0.5f);
  }
}
