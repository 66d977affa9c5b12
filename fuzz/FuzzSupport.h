#pragma once

// Shared by the fuzz targets: a private preference folder (fuzzing never touches the
// user's), fresh plug-in instances, and the invariants every load must keep.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugin/Veltrane.h"
#include "presets/CPresetSystemEditor.h"

namespace fuzzsupport {

inline VstIntPtr silentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

inline void usePrivatePreferences() {
  static std::string folder = [] {
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp") +
        "/veltrane-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}

inline std::unique_ptr<Veltrane> makeEffect() { return std::make_unique<Veltrane>(silentHost); }

inline CPresetSystemEditor& editorOf(Veltrane& effect) {
  return *static_cast<CPresetSystemEditor*>(effect.getEditor());
}

// One instance for the whole run, put back into the same state before every input by
// loading the chunk it gave at the start: constructing an instance per input would spend
// the time on construction and preference files instead of the readers.
inline Veltrane& freshEffect() {
  static std::unique_ptr<Veltrane> effect;
  static std::vector<unsigned char> baseline;
  if (!effect) {
    usePrivatePreferences();
    effect = makeEffect();
    void* data = nullptr;
    VstInt32 size = effect->getChunk(&data, false);
    baseline.assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
  }
  if (effect->setChunk(baseline.data(), static_cast<VstInt32>(baseline.size()), false) != 0)
    std::abort();
  return *effect;
}

// Whatever a load did or refused, the store holds names with a terminator and
// normalised values, and the current preset exists.
inline void checkStore(Veltrane& effect) {
  for (int k = 0; k < kNumPresets; ++k) {
    if (memchr(effect.presetName(k), 0, kPresetNameLength) == nullptr) std::abort();
    for (int i = 0; i < kNumPresetValues; ++i) {
      float value = effect.presetValue(k, i);
      if (!(value >= 0.0f && value <= 1.0f)) std::abort();
    }
  }
  if (effect.getPresetNo() < 0 || effect.getPresetNo() >= kNumPresets) std::abort();
}

}  // namespace fuzzsupport
