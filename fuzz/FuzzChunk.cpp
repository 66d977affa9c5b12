// setChunk on arbitrary bytes: no read outside them, the store stays valid, and the
// chunk the plug-in then gives back loads again to the same store.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 16) return 0;
  Veltrane* effect = &fuzzsupport::freshEffect();
  // A copy of exactly the given length, so any read past it is caught.
  std::vector<unsigned char> chunk(data, data + size);
  effect->setChunk(chunk.empty() ? nullptr : chunk.data(), static_cast<VstInt32>(chunk.size()),
                   false);
  fuzzsupport::checkStore(*effect);

  void* given = nullptr;
  VstInt32 length = effect->getChunk(&given, false);
  if (length <= 0 || given == nullptr) std::abort();
  std::vector<unsigned char> again(static_cast<unsigned char*>(given),
                                   static_cast<unsigned char*>(given) + length);
  float before[kNumPresets][kNumPresetValues];
  for (int k = 0; k < kNumPresets; ++k)
    for (int i = 0; i < kNumPresetValues; ++i) before[k][i] = effect->presetValue(k, i);
  if (effect->setChunk(again.data(), length, false) != 0) std::abort();
  for (int k = 0; k < kNumPresets; ++k)
    for (int i = 0; i < kNumPresetValues; ++i)
      if (!effect->isDummy(i) && effect->presetValue(k, i) != before[k][i]) std::abort();
  return 0;
}
