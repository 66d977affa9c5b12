#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "lv2/PortMapping.h"
#include "sdk/aeffectx.h"

class ADEditor;
class Lv2EditorSession;
class Veltrane;

// One LV2 instance: the effect object itself, driven through the LV2 lifecycle. The host owns
// the control ports; `run` applies a port value only when it differs from the one it applied
// last, so what the plug-in changes itself (a preset in the window, a loaded file, a restored
// state) stands until the host really moves that port, and the window writes such changes
// back to the host's ports. The effect talks to its host through the VST-style callback; this
// class answers it, passing the window's edits and gestures on to the window's session.
class Lv2Instance {
 public:
  // Null when the effect cannot be made. Without urid:map the instance runs but keeps no state.
  static Lv2Instance* create(double sampleRate, const LV2_Feature* const* features);
  ~Lv2Instance();
  Lv2Instance(const Lv2Instance&) = delete;
  Lv2Instance& operator=(const Lv2Instance&) = delete;

  void connectPort(std::uint32_t port, void* data);
  void activate();
  // Audio thread: no allocation, no lock, any block length.
  void run(std::uint32_t frames);
  void deactivate();

  // The state is the VST chunk's bytes: the five presets, their names, the current preset.
  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
  // Safe while run goes on; a state that is refused leaves everything as it was.
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  Veltrane& effect() { return *veltrane; }
  ADEditor* editor() const;
  // The value `run` last applied from a control port (k counts control ports from 0); not a
  // number before the first run. Any thread.
  float appliedPortValue(int k) const { return applied[k].load(std::memory_order_acquire); }

  // The window's session, on the window's thread. Only one at a time.
  bool attach(Lv2EditorSession* session);
  void detach(Lv2EditorSession* session);

 private:
  Lv2Instance(double sampleRate, LV2_URID_Map* map);
  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);
  void applyControlPorts();
  bool portsAtDefaults() const;

  std::unique_ptr<Veltrane> veltrane;
  double rate;
  LV2_URID chunkKey = 0;
  LV2_URID chunkType = 0;

  std::array<float*, 4> audio{};
  std::array<const float*, lv2port::kControlCount> controls{};
  float* latency = nullptr;
  std::array<float, lv2port::kControlCount> defaults{};

  std::array<std::atomic<float>, lv2port::kControlCount> applied;
  // Raised by a restore: the next run takes the ports as they stand as applied, so the state
  // wins over port values the host set before it (a session's, saved before the restore).
  std::atomic<bool> adoptPorts{false};
  bool firstRun = true;
  std::atomic<Lv2EditorSession*> session{nullptr};
};
