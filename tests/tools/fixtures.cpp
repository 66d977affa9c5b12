// Small shared objects that misbehave in the ways a host must survive.
#include "sdk/aeffectx.h"

namespace {

VstIntPtr silentDispatcher(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

AEffect legacyEffect = [] {
  AEffect e{};
  e.magic = kEffectMagic;
  e.dispatcher = silentDispatcher;
  e.uniqueID = vstFourCC('L', 'e', 'g', 'y');
  return e;
}();

}  // namespace

extern "C" {
#if defined(FIXTURE_NULL_EFFECT)
__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
  return nullptr;
}
#elif defined(FIXTURE_MAIN_ONLY)
__attribute__((visibility("default"))) AEffect* legacyEntry(audioMasterCallback) __asm__("main");
AEffect* legacyEntry(audioMasterCallback) { return &legacyEffect; }
#else
__attribute__((visibility("default"))) int notAPlugin() { return legacyEffect.magic; }
#endif
}
