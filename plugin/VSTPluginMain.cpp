#include <new>

#include "plugin/Veltrane.h"

namespace {

bool hostAnswers(audioMasterCallback audioMaster) {
  return audioMaster && audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) != 0;
}

}  // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  if (!hostAnswers(audioMaster)) return nullptr;
  // Nothing may unwind into the host.
  try {
    return new Veltrane(audioMaster);
  } catch (...) {
    return nullptr;
  }
}

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  if (!hostAnswers(audioMaster)) return nullptr;
  AudioEffect* effect = createEffectInstance(audioMaster);
  return effect ? effect->getAeffect() : nullptr;
}

// Older hosts look only for an entry named "main".
__attribute__((visibility("default"))) AEffect* legacyPluginMain(
    audioMasterCallback audioMaster) __asm__("main");
AEffect* legacyPluginMain(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }
}
