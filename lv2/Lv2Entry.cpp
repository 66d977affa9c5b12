// The DSP binary's entry point: one plug-in, its lifecycle handed to Lv2Instance, the State
// extension, and the private table the bundle's UI binary opens the editor through.

#include <cstring>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "lv2/EditorAccess.h"
#include "lv2/Lv2EditorSession.h"
#include "lv2/Lv2Instance.h"

namespace {

Lv2Instance* self(LV2_Handle handle) { return static_cast<Lv2Instance*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
  return Lv2Instance::create(sampleRate, features);
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
  self(handle)->connectPort(port, data);
}

void activate(LV2_Handle handle) { self(handle)->activate(); }

void run(LV2_Handle handle, uint32_t frames) { self(handle)->run(frames); }

void deactivate(LV2_Handle handle) { self(handle)->deactivate(); }

void cleanup(LV2_Handle handle) { delete self(handle); }

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t /*flags*/, const LV2_Feature* const* /*features*/) {
  try {
    return self(handle)->save(store, state);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t /*flags*/,
                         const LV2_Feature* const* /*features*/) {
  try {
    return self(handle)->restore(retrieve, state);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kStateInterface = {save, restore};

const void* extensionData(const char* uri) {
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  if (std::strcmp(uri, VELTRANE_LV2_EDITOR_ACCESS_URI) == 0) return &Lv2EditorSession::kAccess;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {VELTRANE_LV2_URI, instantiate, connectPort,  activate, run,
                                    deactivate,       cleanup,     extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
