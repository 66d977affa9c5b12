#include "PluginHost.h"

#include <dlfcn.h>

#include <cstring>

#include "CallCounter.h"

namespace {

using EntryPoint = AEffect* (*)(audioMasterCallback);

// The plug-in calls back before its AEffect exists (from inside its entry point); that call
// is answered on behalf of the host being loaded on this thread.
thread_local PluginHost* hostBeingLoaded = nullptr;

}  // namespace

std::unique_ptr<PluginHost> PluginHost::load(const std::string& path, std::string& error) {
  std::unique_ptr<PluginHost> host(new PluginHost);
  // A plug-in is a file the user names: without a slash dlopen would search the library path
  // instead of the current folder.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  host->library_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!host->library_) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why ? why : "unknown error");
    return nullptr;
  }
  auto entry = reinterpret_cast<EntryPoint>(dlsym(host->library_, "VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<EntryPoint>(dlsym(host->library_, "main"));
  if (!entry) {
    error = path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main";
    return nullptr;
  }
  hostBeingLoaded = host.get();
  AEffect* effect = entry(&PluginHost::callback);
  hostBeingLoaded = nullptr;
  if (!effect) {
    error = path + ": the plug-in's entry point returned no effect";
    return nullptr;
  }
  if (effect->magic != kEffectMagic) {
    error = path + ": the effect record has a wrong magic number";
    return nullptr;
  }
  effect->resvd1 = reinterpret_cast<VstIntPtr>(host.get());
  host->effect_ = effect;
  host->dispatch(effOpen);
  return host;
}

PluginHost::~PluginHost() {
  if (effect_) dispatch(effClose);
  if (library_) dlclose(library_);
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) const {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginHost::text(VstInt32 opcode, VstInt32 index) const {
  char buffer[256] = {};
  dispatch(opcode, index, 0, buffer);
  buffer[sizeof(buffer) - 1] = 0;
  return buffer;
}

void PluginHost::start() {
  dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate_));
  dispatch(effSetBlockSize, 0, blockSize_);
  dispatch(effMainsChanged, 0, 1);
  dispatch(effStartProcess);
}

void PluginHost::stop() {
  dispatch(effStopProcess);
  dispatch(effMainsChanged, 0, 0);
}

std::vector<PluginHost::Notification> PluginHost::notifications() const {
  std::lock_guard lock(notificationsMutex_);
  return notifications_;
}

void PluginHost::clearNotifications() {
  std::lock_guard lock(notificationsMutex_);
  notifications_.clear();
}

VstIntPtr PluginHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt) {
  const CallCounter::HostWork notThePlugins;
  PluginHost* host =
      effect && effect->resvd1 ? reinterpret_cast<PluginHost*>(effect->resvd1) : hostBeingLoaded;
  if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
  return host->answer(opcode, index, value, ptr, opt);
}

void PluginHost::record(const Notification& notification) {
  {
    std::lock_guard lock(notificationsMutex_);
    notifications_.push_back(notification);
  }
  if (Listener* listener = listener_.load()) listener->notified(notification);
}

VstIntPtr PluginHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(sampleRate_);
    case audioMasterGetBlockSize:
      return blockSize_;
    case audioMasterPinConnected:  // 0 means connected
      return index < (value ? connectedOutputs_ : connectedInputs_) ? 0 : 1;
    case audioMasterCanDo:
      return ptr && listener_.load() &&
                     std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0
                 ? 1
                 : 0;
    case audioMasterIOChanged:
      ++ioChanged_;
      record({opcode, index, value, opt});
      return 1;
    case audioMasterSizeWindow: {
      record({opcode, index, value, opt});
      Listener* listener = listener_.load();
      return listener && index > 0 && value > 0 &&
             listener->resizeEditor(index, static_cast<int>(value));
    }
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterUpdateDisplay:
    case audioMasterIdle:
    case audioMasterWantMidi:
    case audioMasterProcessEvents:
    case audioMasterVendorSpecific:
    case audioMasterOpenFileSelector:
    case audioMasterCloseFileSelector:
      record({opcode, index, value, opt});
      return opcode == audioMasterUpdateDisplay ? 1 : 0;
    default:  // questions this host has no answer to
      return 0;
  }
}
