#include "lv2/Lv2Instance.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include <lv2/atom/atom.h>

#include "editor/ADEditor.h"
#include "lv2/EditorAccess.h"
#include "lv2/Lv2EditorSession.h"
#include "plugin/FactoryPresets.h"
#include "plugin/Veltrane.h"

namespace {

constexpr const char* kChunkKeyUri = VELTRANE_LV2_URI "#chunk";
// The largest state taken: far beyond any real bank, small enough to copy without a thought.
constexpr std::size_t kMaxStateBytes = 1 << 20;

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

}  // namespace

Lv2Instance* Lv2Instance::create(double sampleRate, const LV2_Feature* const* features) {
  auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(findFeature(features, LV2_URID__map)));
  // Nothing may unwind into the host.
  try {
    return new Lv2Instance(sampleRate, map);
  } catch (...) {
    return nullptr;
  }
}

Lv2Instance::Lv2Instance(double sampleRate, LV2_URID_Map* map)
    : veltrane(std::make_unique<Veltrane>(&Lv2Instance::hostCallback)), rate(sampleRate) {
  veltrane->getAeffect()->user = this;
  if (map != nullptr) {
    chunkKey = map->map(map->handle, kChunkKeyUri);
    chunkType = map->map(map->handle, LV2_ATOM__Chunk);
  }
  for (int k = 0; k < lv2port::kControlCount; ++k) {
    const int parameter = lv2port::kParameters[k];
    defaults[k] = lv2port::portValueOf(parameter, factoryPresetValue(0, parameter));
    applied[k].store(std::numeric_limits<float>::quiet_NaN());
  }
  // Runnable from the start, with this rate's latency: some hosts run a block to read the
  // latency before they activate.
  veltrane->setSampleRate(static_cast<float>(sampleRate));
  veltrane->resume();
}

Lv2Instance::~Lv2Instance() {
  // A host that frees the instance before its window: the window closes first.
  if (Lv2EditorSession* window = session.exchange(nullptr)) window->instanceGone();
}

ADEditor* Lv2Instance::editor() const { return dynamic_cast<ADEditor*>(veltrane->getEditor()); }

bool Lv2Instance::attach(Lv2EditorSession* window) {
  Lv2EditorSession* none = nullptr;
  return session.compare_exchange_strong(none, window);
}

void Lv2Instance::detach(Lv2EditorSession* window) {
  session.compare_exchange_strong(window, nullptr);
}

VstIntPtr Lv2Instance::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                    VstIntPtr value, void* ptr, float opt) {
  // Calls made while the effect is being constructed find no instance yet.
  auto* self = effect ? static_cast<Lv2Instance*>(effect->user) : nullptr;
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetSampleRate:
      return self ? static_cast<VstIntPtr>(self->rate) : 0;
    case audioMasterAutomate:
      if (self)
        if (Lv2EditorSession* window = self->session.load()) window->parameterEdited(index, opt);
      return 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
      // A preset being pushed brackets itself with a gesture on parameter 0; in LV2 the
      // window writes the changed ports instead, and touches none.
      if (self && !self->veltrane->isSettingPreset())
        if (Lv2EditorSession* window = self->session.load())
          window->gesture(index, opcode == audioMasterBeginEdit);
      return 1;
    case audioMasterCanDo:
      // The window may change its size when the host's UI took ui:resize.
      if (self && ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0)
        if (Lv2EditorSession* window = self->session.load()) return window->canResize() ? 1 : 0;
      return 0;
    case audioMasterSizeWindow:
      if (self)
        if (Lv2EditorSession* window = self->session.load())
          return window->resizeWindow(index, static_cast<int>(value)) ? 1 : 0;
      return 0;
    default:
      // Pins read as connected (0); everything else is not offered.
      return 0;
  }
}

void Lv2Instance::connectPort(std::uint32_t port, void* data) {
  if (port < lv2port::kFirstControl)
    audio[port] = static_cast<float*>(data);
  else if (port < lv2port::kLatency)
    controls[port - lv2port::kFirstControl] = static_cast<const float*>(data);
  else if (port == lv2port::kLatency)
    latency = static_cast<float*>(data);
}

void Lv2Instance::activate() {
  // Ports set before activation take effect at once, as parameters a VST host sets before
  // resuming: the resume designs every band afresh instead of gliding to them.
  applyControlPorts();
  veltrane->resume();
}

void Lv2Instance::deactivate() { veltrane->suspend(); }

bool Lv2Instance::portsAtDefaults() const {
  for (int k = 0; k < lv2port::kControlCount; ++k)
    if (controls[k] != nullptr && *controls[k] != defaults[k]) return false;
  return true;
}

void Lv2Instance::applyControlPorts() {
  bool adopt = adoptPorts.exchange(false, std::memory_order_acquire);
  if (firstRun) {
    firstRun = false;
    // Ports the host left at their defaults keep the settings the effect started with (the
    // user's default bank and preset); once the window opens it writes them to the ports.
    adopt = adopt || portsAtDefaults();
  }
  for (int k = 0; k < lv2port::kControlCount; ++k) {
    if (controls[k] == nullptr) continue;
    const float value = *controls[k];
    if (!std::isfinite(value)) continue;
    if (!adopt && value != applied[k].load(std::memory_order_relaxed)) {
      const int parameter = lv2port::kParameters[k];
      // A port that reached the value the effect already has (the window wrote back what
      // the plug-in changed) changes nothing: the exact normalised value stays.
      if (lv2port::portValueOf(parameter, veltrane->getParameter(parameter)) != value)
        veltrane->setParameter(parameter, lv2port::normalisedOf(parameter, value));
    }
    // After the parameter: whoever sees this value also sees the effect carry it.
    applied[k].store(value, std::memory_order_release);
  }
}

void Lv2Instance::run(std::uint32_t frames) {
  applyControlPorts();
  float* inputs[2] = {audio[lv2port::kInputLeft], audio[lv2port::kInputRight]};
  float* outputs[2] = {audio[lv2port::kOutputLeft], audio[lv2port::kOutputRight]};
  // Buffers may be shared (in place, or all four on one buffer): the engine reads a chunk's
  // input before it writes that chunk's output.
  do {
    const auto n = static_cast<VstInt32>(std::min<std::uint32_t>(frames, INT_MAX));
    veltrane->processReplacing(inputs, outputs, n);
    frames -= static_cast<std::uint32_t>(n);
    for (float*& p : inputs) p = p ? p + n : nullptr;
    for (float*& p : outputs) p = p ? p + n : nullptr;
  } while (frames > 0);
  if (latency != nullptr) *latency = static_cast<float>(veltrane->getAeffect()->initialDelay);
}

LV2_State_Status Lv2Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (chunkKey == 0) return LV2_STATE_ERR_NO_FEATURE;
  void* data = nullptr;
  const VstInt32 size = veltrane->getChunk(&data, false);
  if (size <= 0 || data == nullptr) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, chunkKey, data, static_cast<std::size_t>(size), chunkType,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Instance::restore(LV2_State_Retrieve_Function retrieve,
                                      LV2_State_Handle handle) {
  if (chunkKey == 0) return LV2_STATE_ERR_NO_FEATURE;
  std::size_t size = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  const void* data = retrieve(handle, chunkKey, &size, &type, &flags);
  if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != chunkType) return LV2_STATE_ERR_BAD_TYPE;
  if (size > kMaxStateBytes) return LV2_STATE_ERR_UNKNOWN;
  // The chunk reader takes a writable buffer; the host's stays untouched.
  std::vector<unsigned char> bytes(static_cast<const unsigned char*>(data),
                                   static_cast<const unsigned char*>(data) + size);
  if (veltrane->setChunk(bytes.data(), static_cast<VstInt32>(size), false) != 0)
    return LV2_STATE_ERR_UNKNOWN;
  adoptPorts.store(true, std::memory_order_release);
  return LV2_STATE_SUCCESS;
}
