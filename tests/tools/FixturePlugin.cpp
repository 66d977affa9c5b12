// A small VST 2.4 plug-in for testing hosts. Clean, `veltrane-host validate` passes it: a gain
// after a short delay (3 samples, 6 above 48 kHz) with an optional one-pole smoothing, two named
// parameters and an unnamed one that its chunk does not carry, and an editor of one colour
// where a click automates parameter 0 and the third idle sends a fixed set of notifications.
// FIXTURE_FAULT switches on one fault: a validate check's name (each must fail that check and no
// other), "fail-open" or "late-size" (no size until open). On effClose it reports to stderr what
// the host did.
#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "sdk/aeffectx.h"

namespace {

enum Parameter { kGain, kSmooth, kPlaceholder, kNumParams };
constexpr int kLongestDelay = 6, kChannels = 2;
constexpr char kChunkMagic[4] = {'V', 'f', 'x', 'C'};
constexpr std::size_t kChunkSize = 12;  // the magic, then gain and smoothing as floats
constexpr short kWidth = 200, kHeight = 120;
constexpr uint32_t kBackground = 0x2060a0;

struct Channel {
  float line[kLongestDelay] = {};
  double smoothed = 0.0;
};
Channel sharedChannels[kChannels];  // the "instances" fault: state shared by every instance

// The "threads" fault takes two locks in one order while processing and in the other while
// taking a chunk. They spin, so that the fault shows as a hang, not as a mutex.
void lock(std::atomic_flag& first, std::atomic_flag& second) {
  while (first.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  for (int i = 0; i < 2000; ++i) asm volatile("");
  while (second.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
}

struct Fixture {
  AEffect effect{};
  audioMasterCallback host = nullptr;
  std::string fault;
  std::atomic<float> parameters[kNumParams] = {0.5f, 0.0f, 0.5f};
  float rate = 44100.0f;
  int block = 512, delay = 3, position = 0;
  Channel ownChannels[kChannels], *channels = nullptr;
  unsigned char chunk[kChunkSize] = {};
  int leakedDescriptor = -1;
  std::atomic_flag first = ATOMIC_FLAG_INIT, second = ATOMIC_FLAG_INIT;
  std::mutex scratchMutex;
  ERect rect{0, 0, kHeight, kWidth};

  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
  // What the host did, reported on effClose.
  std::atomic<std::thread::id> editorThread{};  // read by the audio thread too
  bool editorThreadKept = true;
  int opened = 0, closed = 0, idles = 0;
  std::chrono::steady_clock::time_point openedAt;
  double openSeconds = 0.0;
  std::atomic<long long> blocks{0};
  std::atomic<bool> audioOnEditorThread{false};
  std::atomic<float> peak{0.0f};

  bool is(const char* name) const { return fault == name; }
  void notify(VstInt32 opcode, VstInt32 index = 0, float opt = 0) {
    host(&effect, opcode, index, 0, nullptr, opt);
  }
  void edit(Parameter index, float value) {  // as the editor's own control would
    notify(audioMasterBeginEdit, index);
    parameters[index] = value;
    notify(audioMasterAutomate, index, value);
    notify(audioMasterEndEdit, index);
  }
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
    f->notify(audioMasterIOChanged);
  }
}

template <typename Sample>
void process(AEffect* e, Sample** inputs, Sample** outputs, VstInt32 frames) {
  Fixture* f = self(e);
  if (std::this_thread::get_id() == f->editorThread.load()) f->audioOnEditorThread = true;
  if (f->is("threads")) lock(f->first, f->second);
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
  float peak = f->peak.load();
  for (int c = 0; c < kChannels; ++c) {
    Channel& ch = f->channels[c];
    int position = f->position;
    for (int i = 0; i < count; ++i) {
      double x = inputs[c][i];
      peak = std::max(peak, static_cast<float>(std::fabs(x)));
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
  f->peak = peak;
  f->blocks.fetch_add(1);
  std::free(scratch);
  if (f->is("threads")) f->first.clear(), f->second.clear();
}

float clamped(float value) { return std::clamp(value, 0.0f, 1.0f); }

void setParameter(AEffect* e, VstInt32 index, float value) {
  Fixture* f = self(e);
  if (index < 0 || index >= kNumParams) return;
  if (f->is("parameters"))
    f->parameters[index] = value;
  else if (std::isfinite(value))
    f->parameters[index] = clamped(value);
}

float getParameter(AEffect* e, VstInt32 index) {
  return index >= 0 && index < kNumParams ? self(e)->parameters[index].load() : 0.0f;
}

VstIntPtr setChunk(Fixture* f, const unsigned char* data, VstIntPtr size) {
  if (f->is("threads")) lock(f->second, f->first), f->first.clear(), f->second.clear();
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
  if (f->is("fail-open") || !parent || f->connection) return false;
  if (xcb_connection_has_error(f->connection = xcb_connect(nullptr, nullptr))) {
    xcb_disconnect(std::exchange(f->connection, nullptr));
    return false;
  }
  f->window = xcb_generate_id(f->connection);
  const uint32_t values[] = {kBackground, XCB_EVENT_MASK_BUTTON_PRESS};
  xcb_create_window(f->connection, XCB_COPY_FROM_PARENT, f->window,
                    static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(parent)), 0, 0,
                    kWidth, kHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  xcb_map_window(f->connection, f->window);
  xcb_flush(f->connection);
  f->editorThread = std::this_thread::get_id();
  f->openedAt = std::chrono::steady_clock::now();
  ++f->opened;
  return true;
}

void idleEditor(Fixture* f) {
  if (!f->connection) return;
  f->editorThreadKept &= std::this_thread::get_id() == f->editorThread.load();
  ++f->idles;
  while (xcb_generic_event_t* event = xcb_poll_for_event(f->connection)) {
    if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS)
      f->edit(kGain, reinterpret_cast<xcb_button_press_event_t*>(event)->event_x / float{kWidth});
    std::free(event);
  }
  if (f->idles == 3) {
    f->edit(kSmooth, 0.25f);
    f->notify(audioMasterUpdateDisplay);
  }
}

void closeEditor(Fixture* f) {
  if (!f->connection) return;
  f->editorThreadKept &= std::this_thread::get_id() == f->editorThread.load();
  f->openSeconds +=
      std::chrono::duration<double>(std::chrono::steady_clock::now() - f->openedAt).count();
  ++f->closed;
  if (!f->is("editor")) {  // the fault forgets its window and its connection
    xcb_destroy_window(f->connection, f->window);
    xcb_disconnect(f->connection);
  }
  f->connection = nullptr;
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
  Fixture* f = self(e);
  static const char* const kNames[kNumParams] = {"Gain", "Smooth", ""};
  static const char* const kLabels[kNumParams] = {"dB", "%", ""};
  switch (opcode) {
    case effClose:
      // A host that forgot effEditClose shows as opened != closed.
      std::fprintf(stderr,
                   "fixture opened=%d closed=%d idles=%d seconds=%.3f blocks=%lld "
                   "audio-thread=%s editor-thread=%s peak=%.3f\n",
                   f->opened, f->closed, f->idles, f->openSeconds, f->blocks.load(),
                   f->audioOnEditorThread ? "editor" : "own",
                   f->editorThreadKept ? "kept" : "changed", static_cast<double>(f->peak.load()));
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
      std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen + 1, "%.8s",
                    opcode == effGetParamName    ? kNames[index]
                    : opcode == effGetParamLabel ? kLabels[index]
                                                 : shown);
      return 0;
    }
    case effGetChunk: {
      if (!ptr) return 0;
      const float values[2] = {f->parameters[kGain], f->parameters[kSmooth]};
      std::memcpy(f->chunk, kChunkMagic, 4);
      std::memcpy(f->chunk + 4, values, sizeof values);
      *static_cast<void**>(ptr) = f->chunk;
      return kChunkSize;
    }
    case effSetChunk:
      return setChunk(f, static_cast<const unsigned char*>(ptr), value);
    case effEditGetRect:
      if (f->is("late-size") && !f->connection) return 0;
      *static_cast<ERect**>(ptr) = &f->rect;
      return 1;
    case effEditOpen:
      return openEditor(f, ptr) ? 1 : 0;
    case effEditClose:
      closeEditor(f);
      return 1;
    case effEditIdle:
      idleEditor(f);
      return 0;
    case effGetEffectName:
      std::strcpy(static_cast<char*>(ptr), "Fixture");
      return 1;
    case effGetVstVersion:
      return kVstVersion;
    default:
      return 0;
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  auto* f = new Fixture;
  f->host = host;
  if (const char* fault = std::getenv("FIXTURE_FAULT")) f->fault = fault;
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
