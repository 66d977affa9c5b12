// A small VST 2.4 plug-in that `veltrane-host validate` passes, with one switchable fault per
// check (VALIDATE_FIXTURE_FAULT names the check): each fault must fail its own check and no
// other. Clean, it is a gain after a short delay (3 samples, 6 above 48 kHz) with an optional
// one-pole smoothing, two named parameters and an unnamed one that its chunk does not carry,
// and an editor that is a single X window.
#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include "sdk/aeffectx.h"

namespace {

enum Parameter { kGain, kSmooth, kPlaceholder, kNumParams };
constexpr int kLongestDelay = 6;
constexpr int kChannels = 2;
constexpr char kChunkMagic[4] = {'V', 'f', 'x', 'C'};
constexpr std::size_t kChunkSize = 12;  // the magic, then gain and smoothing as floats
constexpr short kEditorWidth = 200, kEditorHeight = 100;

struct Channel {
  float line[kLongestDelay] = {};
  double smoothed = 0.0;
};
Channel sharedChannels[kChannels];  // the "instances" fault: state shared by every instance

// A lock that spins, so that the "threads" fault shows as a hang, not as a mutex.
class SpinLock {
 public:
  void lock() {
    while (flag_.test_and_set(std::memory_order_acquire)) {
    }
  }
  void unlock() { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

void pause() {
  for (int i = 0; i < 2000; ++i) asm volatile("");
}

struct Fixture {
  AEffect effect{};
  audioMasterCallback host = nullptr;
  std::string fault;
  std::atomic<float> parameters[kNumParams] = {0.5f, 0.0f, 0.5f};
  float rate = 44100.0f;
  int block = 512;
  int delay = 3;
  int position = 0;
  Channel ownChannels[kChannels];
  Channel* channels = nullptr;
  unsigned char chunk[kChunkSize] = {};
  int leakedDescriptor = -1;
  SpinLock first, second;
  std::mutex scratchMutex;
  ERect rect{0, 0, kEditorHeight, kEditorWidth};
  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;

  bool is(const char* name) const { return fault == name; }
};

Fixture* self(AEffect* e) { return static_cast<Fixture*>(e->object); }

void resume(Fixture* f) {
  f->channels = f->is("instances") ? sharedChannels : f->ownChannels;
  for (int c = 0; c < kChannels; ++c) f->channels[c] = Channel{};
  f->position = 0;
  f->delay = f->rate > 48000.0f ? 6 : 3;
  const int reported = f->is("latency") ? f->delay - 1 : f->delay;
  if (reported != f->effect.initialDelay) {
    f->effect.initialDelay = reported;
    f->host(&f->effect, audioMasterIOChanged, 0, 0, nullptr, 0.0f);
  }
}

template <typename Sample>
void process(AEffect* e, Sample** inputs, Sample** outputs, VstInt32 frames) {
  Fixture* f = self(e);
  if (f->is("threads")) {  // takes the locks in the opposite order to setChunk
    f->first.lock();
    pause();
    f->second.lock();
  }
  void* scratch = nullptr;
  if (f->is("real-time")) {  // a scratch buffer from the heap, under a lock
    void* (*volatile allocate)(std::size_t) = std::malloc;
    scratch = allocate(static_cast<std::size_t>(frames) * sizeof(Sample) + 1);
    const std::lock_guard lock(f->scratchMutex);
  }
  // The "buffers" fault works through the announced block, whatever the call's length.
  const int count = f->is("buffers") ? f->block : std::max(frames, 0);
  const double gain = 2.0 * f->parameters[kGain].load();
  const double smooth = f->parameters[kSmooth].load();
  Channel* channels = f->channels;
  for (int c = 0; c < kChannels; ++c) {
    Channel& ch = channels[c];
    int position = f->position;
    for (int i = 0; i < count; ++i) {
      double x = inputs[c][i];
      // Not-a-number, infinities and subnormals enter as silence, unless that is the fault.
      if (!f->is("bad-input") && !(std::fabs(x) >= 1e-30 && std::isfinite(x))) x = 0.0;
      const double delayed = ch.line[position];
      ch.line[position] = static_cast<float>(x);
      position = (position + 1) % f->delay;
      ch.smoothed += 0.05 * (delayed - ch.smoothed);
      ch.smoothed += 1e-30;  // keeps a decaying value out of the subnormal range
      ch.smoothed -= 1e-30;
      outputs[c][i] = static_cast<Sample>(gain * (delayed + smooth * (ch.smoothed - delayed)));
    }
    if (c == kChannels - 1) f->position = position;
  }
  std::free(scratch);
  if (f->is("threads")) {
    f->second.unlock();
    f->first.unlock();
  }
}

float clamped(float value) { return std::clamp(value, 0.0f, 1.0f); }

void setParameter(AEffect* e, VstInt32 index, float value) {
  Fixture* f = self(e);
  if (index < 0 || index >= kNumParams) return;
  if (f->is("parameters")) {
    f->parameters[index] = value;
  } else if (std::isfinite(value)) {
    f->parameters[index] = clamped(value);
  }
}

float getParameter(AEffect* e, VstInt32 index) {
  return index >= 0 && index < kNumParams ? self(e)->parameters[index].load() : 0.0f;
}

VstIntPtr getChunk(Fixture* f, void** data) {
  const float values[2] = {f->parameters[kGain], f->parameters[kSmooth]};
  std::memcpy(f->chunk, kChunkMagic, 4);
  std::memcpy(f->chunk + 4, values, sizeof values);
  *data = f->chunk;
  return kChunkSize;
}

VstIntPtr setChunk(Fixture* f, const unsigned char* data, VstIntPtr size) {
  if (f->is("threads")) {
    f->second.lock();
    pause();
    f->first.lock();
    f->first.unlock();
    f->second.unlock();
  }
  // The "state" fault trusts the magic and reads its values wherever the size ends.
  const bool sizeChecked = !f->is("state");
  if (!data || size < 4 || (sizeChecked && size != static_cast<VstIntPtr>(kChunkSize)) ||
      std::memcmp(data, kChunkMagic, 4) != 0)
    return 0;
  float values[2];
  std::memcpy(values, data + 4, sizeof values);
  if (!std::isfinite(values[0]) || !std::isfinite(values[1])) return 0;
  f->parameters[kGain] = clamped(values[0]);
  f->parameters[kSmooth] = clamped(values[1]);
  f->parameters[kPlaceholder] = 0.5f;
  return 1;
}

bool openEditor(Fixture* f, void* parent) {
  if (!parent || f->connection) return false;
  f->connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(f->connection)) {
    xcb_disconnect(f->connection);
    f->connection = nullptr;
    return false;
  }
  f->window = xcb_generate_id(f->connection);
  xcb_create_window(f->connection, XCB_COPY_FROM_PARENT, f->window,
                    static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(parent)), 0, 0,
                    kEditorWidth, kEditorHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_map_window(f->connection, f->window);
  xcb_flush(f->connection);
  return true;
}

void closeEditor(Fixture* f) {
  if (!f->connection) return;
  if (f->is("editor")) {  // forgets its window and its connection
    f->connection = nullptr;
    return;
  }
  xcb_destroy_window(f->connection, f->window);
  xcb_disconnect(f->connection);
  f->connection = nullptr;
}

void text(void* ptr, const char* value) {
  const std::size_t length = std::min<std::size_t>(std::strlen(value), kVstMaxParamStrLen);
  std::memcpy(ptr, value, length);
  static_cast<char*>(ptr)[length] = 0;
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
  Fixture* f = self(e);
  static const char* const kNames[kNumParams] = {"Gain", "Smooth", ""};
  static const char* const kLabels[kNumParams] = {"dB", "%", ""};
  switch (opcode) {
    case effClose:
      closeEditor(f);
      if (!f->is("load-unload") && f->leakedDescriptor >= 0) close(f->leakedDescriptor);
      delete f;
      return 1;
    case effSetSampleRate:
      f->rate = opt;
      return 0;
    case effSetBlockSize:
      f->block = static_cast<int>(value);
      return 0;
    case effMainsChanged:
      if (value) resume(f);
      return 0;
    case effGetParamName:
    case effGetParamLabel:
    case effGetParamDisplay: {
      if (index < 0 || index >= kNumParams) return 0;
      char shown[16];
      std::snprintf(shown, sizeof shown, "%.3f", static_cast<double>(f->parameters[index].load()));
      text(ptr, opcode == effGetParamName    ? kNames[index]
                : opcode == effGetParamLabel ? kLabels[index]
                                             : shown);
      return 0;
    }
    case effGetChunk:
      return ptr ? getChunk(f, static_cast<void**>(ptr)) : 0;
    case effSetChunk:
      return setChunk(f, static_cast<const unsigned char*>(ptr), value);
    case effEditGetRect:
      *static_cast<ERect**>(ptr) = &f->rect;
      return 1;
    case effEditOpen:
      return openEditor(f, ptr) ? 1 : 0;
    case effEditClose:
      closeEditor(f);
      return 0;
    case effGetEffectName:
      std::strcpy(static_cast<char*>(ptr), "Validate Fixture");
      return 1;
    case effGetVstVersion:
      return kVstVersion;
    default:
      return 0;
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  auto* f = new (std::nothrow) Fixture;
  if (!f) return nullptr;
  f->host = host;
  if (const char* fault = std::getenv("VALIDATE_FIXTURE_FAULT")) f->fault = fault;
  // The "lifecycle" fault has its state only from the first resume on.
  if (!f->is("lifecycle")) f->channels = f->ownChannels;
  f->leakedDescriptor = open("/dev/null", O_RDONLY | O_CLOEXEC);
  AEffect& e = f->effect;
  e.magic = kEffectMagic;
  e.dispatcher = dispatcher;
  e.processReplacing = process<float>;
  e.processDoubleReplacing = process<double>;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numPrograms = 1;
  e.numParams = kNumParams;
  e.numInputs = e.numOutputs = kChannels;
  e.flags =
      effFlagsHasEditor | effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
  e.initialDelay = 3;
  e.object = f;
  e.uniqueID = vstFourCC('V', 'a', 'F', 'x');
  e.version = 1;
  return &e;
}
