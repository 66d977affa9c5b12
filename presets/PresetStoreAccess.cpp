#include "presets/PresetStoreAccess.h"

#include <algorithm>

#include "presets/CPresetSystemEffect.h"
#include "presets/PresetFormat.h"

void saveStore(CPresetSystemEffect& effect, PresetStoreCopy& copy) {
  for (int k = 0; k < kNumPresets; ++k) effect.copyPreset(copy[k], effect.preset(k));
}

void restoreStore(CPresetSystemEffect& effect, const PresetStoreCopy& copy) {
  for (int k = 0; k < kNumPresets; ++k) effect.copyPreset(effect.preset(k), copy[k]);
}

bool readOldPresetBlock(CPresetSystemEffect& effect, ByteReader block, int number, int values) {
  char name[kPresetNameLength];
  if (!readRecordName(block, name)) return false;
  block.skip(kPresetNameLength);
  effect.setPresetNameOf(number, name);
  int used = std::min(values, kNumPresetValues);
  for (int i = 0; i < used; ++i) {
    float value = 0;
    if (!block.readFloat(value)) return false;
    if (effect.isDummyOld(i)) continue;
    if (!isNormalised(value)) return false;
    effect.setPresetValue(number, i, value);
  }
  return true;
}
