#pragma once

// Shared by the preset tests: a plug-in instance whose preferences live in a temporary
// folder and whose host records what it is asked, snapshots of the store, hand-made buffers in
// either byte order, and a scripted file dialog.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <deque>

#include "plugin/Veltrane.h"
#include "presets/CPresetSystemEditor.h"
#include "tests/support/TempDir.h"

namespace presettest {

using Bytes = std::vector<unsigned char>;

// What the effects asked of the host, in order.
inline std::vector<VstInt32> hostCalls;

inline VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) return kVstVersion;
  hostCalls.push_back(opcode);
  return 0;
}

inline std::string storedName(CPresetSystemEffect& effect, int preset) {
  return std::string(effect.presetName(preset), strnlen(effect.presetName(preset), 24));
}

// Parameter numbers the record formats carry.
inline std::vector<int> savedParameters(CPresetSystemEffect& effect) {
  std::vector<int> saved;
  for (int i = 0; i < kNumPresetValues; ++i)
    if (!effect.isDummy(i)) saved.push_back(i);
  return saved;
}

struct StoreSnapshot {
  std::array<std::string, kNumPresets> names;
  std::array<std::array<float, kNumPresetValues>, kNumPresets> values;
  std::int64_t presetNo = 0;
  bool operator==(const StoreSnapshot& other) const {
    // Compared bit for bit, so a NaN sneaking in is not equal to anything.
    return names == other.names && presetNo == other.presetNo &&
           std::memcmp(&values, &other.values, sizeof values) == 0;
  }
};

inline StoreSnapshot snapshot(CPresetSystemEffect& effect) {
  StoreSnapshot s;
  s.presetNo = effect.getPresetNo();
  for (int k = 0; k < kNumPresets; ++k) {
    s.names[k] = storedName(effect, k);
    for (int i = 0; i < kNumPresetValues; ++i) s.values[k][i] = effect.presetValue(k, i);
  }
  return s;
}

// Every preset a distinct name and distinct values (the strip's two settings aside), so a
// load that mixes up presets, parameters or byte order cannot pass by accident.
inline void fillDistinct(CPresetSystemEffect& effect, double offset) {
  for (int k = 0; k < kNumPresets; ++k) {
    effect.setPresetNameOf(k, ("Preset " + std::to_string(k + 10 * offset)).c_str());
    for (int i : savedParameters(effect))
      if (i > 1)
        effect.setPresetValue(k, i,
                              static_cast<float>(std::fmod(offset + 0.013 * i + 0.17 * k, 1)));
  }
}

// A buffer written field by field the way a machine of either byte order would write it.
struct HandBuffer {
  explicit HandBuffer(bool reversed = false) : reversed(reversed) {}
  bool reversed;
  Bytes bytes;

  HandBuffer& u32(std::uint32_t value) {
    if (reversed) value = __builtin_bswap32(value);
    const auto* raw = reinterpret_cast<unsigned char*>(&value);
    bytes.insert(bytes.end(), raw, raw + 4);
    return *this;
  }
  HandBuffer& f32(float value) { return u32(std::bit_cast<std::uint32_t>(value)); }
  HandBuffer& id(std::uint8_t type, VstInt32 plugin = Veltrane::kUniqueId) {
    u32(static_cast<std::uint32_t>(plugin)).bytes.push_back(type);
    return *this;
  }
  HandBuffer& name(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return zeros(24 - text.size());
  }
  HandBuffer& zeros(std::size_t count) {
    bytes.insert(bytes.end(), count, 0);
    return *this;
  }
  // ID, type and the rest of a record-based header.
  HandBuffer& header(std::uint8_t type, std::uint32_t items, std::uint32_t current,
                     std::uint32_t size) {
    return id(type).u32(0x01080000).u32(40).u32(items).u32(current).u32(size).zeros(16);
  }
  HandBuffer& nameRecord(std::uint32_t preset, const std::string& text) {
    return u32(0).u32(156).u32(preset).name(text).zeros(132);
  }
  HandBuffer& paramRecord(std::uint32_t preset, std::uint32_t param, float value) {
    return u32(1).u32(20).u32(preset).u32(param).zeros(8).f32(value).zeros(4);
  }
};

// The store as a bank (or, given `only`, that preset alone) written by a machine of either
// byte order.
inline Bytes handBuffer(CPresetSystemEffect& effect, bool reversed, std::uint32_t current,
                        int only = -1) {
  const StoreSnapshot store = snapshot(effect);
  const std::vector<int> saved = savedParameters(effect);
  const auto presets = static_cast<std::uint32_t>(only < 0 ? kNumPresets : 1),
             n = static_cast<std::uint32_t>(saved.size());
  HandBuffer b(reversed);
  b.header(only < 0 ? 0x38 : 0x22, presets * (1 + n), current, presets * (168 + 32 * n));
  for (int k = std::max(only, 0); k < (only < 0 ? kNumPresets : only + 1); ++k) {
    b.nameRecord(only < 0 ? k : 0, store.names[k]);
    for (int i : saved) b.paramRecord(only < 0 ? k : 0, i, store.values[k][i]);
  }
  return b.bytes;
}

// Answers open and save requests from a list (nothing once it is used up) and keeps them.
struct ScriptedDialog : PresetFileDialog {
  std::deque<std::optional<std::string>> answers;
  std::vector<Request> asked;

  std::optional<std::string> askOpen(const Request& request) override { return askSave(request); }
  std::optional<std::string> askSave(const Request& request) override {
    asked.push_back(request);
    std::optional<std::string> answer;
    if (!answers.empty()) answer = answers.front(), answers.pop_front();
    return answer;
  }
};

// Each test gets its own preference folder, so stored defaults never leak between tests.
class PresetTest : public testing::Test {
 protected:
  TempDir config;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};

  static std::unique_ptr<Veltrane> makeEffect() {
    return std::make_unique<Veltrane>(recordingHost);
  }
  static CPresetSystemEditor& editorOf(CPresetSystemEffect& effect) {
    return *static_cast<CPresetSystemEditor*>(effect.getEditor());
  }
  // Installs a scripted dialog with these answers; the dialog stays the editor's.
  static ScriptedDialog& script(CPresetSystemEditor& editor) {
    auto dialog = std::make_unique<ScriptedDialog>();
    ScriptedDialog& raw = *dialog;
    editor.setFileDialog(std::move(dialog));
    return raw;
  }
};

}  // namespace presettest
