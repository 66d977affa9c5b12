#pragma once

// Shared by the preset tests: a plug-in instance whose preferences live in a temporary
// folder, snapshots of its store, hand-made buffers in either byte order, and a scripted
// file dialog.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plugin/Veltrane.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/PresetFileDialog.h"
#include "tests/support/TempDir.h"

namespace presettest {

inline VstIntPtr silentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
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

inline StoreSnapshot snapshot(Veltrane& effect) {
  StoreSnapshot s;
  for (int k = 0; k < kNumPresets; ++k) {
    s.names[k] =
        std::string(effect.presetName(k), strnlen(effect.presetName(k), kPresetNameLength));
    for (int i = 0; i < kNumPresetValues; ++i) s.values[k][i] = effect.presetValue(k, i);
  }
  s.presetNo = effect.getPresetNo();
  return s;
}

// A buffer written field by field the way a machine of either byte order would write it.
struct HandBuffer {
  explicit HandBuffer(bool reversed = false) : reversed(reversed) {}
  bool reversed;
  std::vector<unsigned char> bytes;

  HandBuffer& u32(std::uint32_t value) {
    if (reversed) value = __builtin_bswap32(value);
    unsigned char raw[4];
    std::memcpy(raw, &value, 4);
    bytes.insert(bytes.end(), raw, raw + 4);
    return *this;
  }
  HandBuffer& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
  HandBuffer& f32(float value) { return u32(std::bit_cast<std::uint32_t>(value)); }
  HandBuffer& u8(std::uint8_t value) {
    bytes.push_back(value);
    return *this;
  }
  HandBuffer& name(const char* text) {
    char field[kPresetNameLength] = {};
    std::strncpy(field, text, kPresetNameLength - 1);
    bytes.insert(bytes.end(), field, field + kPresetNameLength);
    return *this;
  }
  HandBuffer& zeros(std::size_t count) {
    bytes.insert(bytes.end(), count, 0);
    return *this;
  }
  // ID and type, then (record-based kinds) the rest of the header.
  HandBuffer& header(std::uint8_t type, std::int32_t items, std::int32_t current,
                     std::int32_t dataSize) {
    u32(static_cast<std::uint32_t>(Veltrane::kUniqueId)).u8(type);
    return i32(0x01080000).i32(40).i32(items).i32(current).i32(dataSize).zeros(16);
  }
  HandBuffer& nameRecord(std::int32_t preset, const char* text) {
    i32(0).i32(156).i32(preset).name(text);
    return zeros(132);
  }
  HandBuffer& paramRecord(std::int32_t preset, std::int32_t param, float value) {
    return i32(1).i32(20).i32(preset).i32(param).zeros(8).f32(value).zeros(4);
  }
};

// Parameter numbers the record formats carry.
inline std::vector<int> savedParameters(Veltrane& effect) {
  std::vector<int> saved;
  for (int i = 0; i < kNumPresetValues; ++i)
    if (!effect.isDummy(i)) saved.push_back(i);
  return saved;
}

// The bank a machine of either byte order writes for a store, built field by field.
inline HandBuffer handBank(const StoreSnapshot& store, const std::vector<int>& saved, bool reversed,
                           std::int32_t current) {
  auto params = static_cast<std::int32_t>(saved.size());
  HandBuffer b(reversed);
  b.header(0x38, 5 * (1 + params), current, 5 * (168 + 32 * params));
  for (int k = 0; k < kNumPresets; ++k) {
    b.nameRecord(k, store.names[k].c_str());
    for (int i : saved) b.paramRecord(k, i, store.values[k][i]);
  }
  return b;
}

class ScriptedDialog : public PresetFileDialog {
 public:
  std::deque<std::optional<std::string>> answers;
  std::vector<Request> opens;
  std::vector<Request> saves;

  std::optional<std::string> askOpen(const Request& request) override {
    opens.push_back(request);
    return next();
  }
  std::optional<std::string> askSave(const Request& request) override {
    saves.push_back(request);
    return next();
  }

 private:
  std::optional<std::string> next() {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// Each test gets its own preference folder, so stored defaults never leak between tests.
class PresetTest : public testing::Test {
 protected:
  TempDir config;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};

  static std::unique_ptr<Veltrane> makeEffect() { return std::make_unique<Veltrane>(silentHost); }
  static CPresetSystemEditor& editorOf(Veltrane& effect) {
    return *static_cast<CPresetSystemEditor*>(effect.getEditor());
  }
};

}  // namespace presettest
