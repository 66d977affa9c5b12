// The DSP binary as an LV2 host drives it (through lilv): state, the order Ardour loads a
// session in, the latency port, shared buffers, and a run that allocates nothing.
#include <gtest/gtest.h>

#include <cstdlib>

#include "plugin/Veltrane.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/HeapCount.h"

namespace {

using Wiring = Lv2TestInstance::Wiring;

// Settings away from the defaults, set through the ports, that reach the current preset.
void setUpSnare(Lv2TestInstance& instance) {
  instance.control("SAT") = 1.f;
  instance.control("HPF") = 1.f;
  instance.control("HPFfreq") = 220.f;
  instance.control("LF") = 0.f;
  instance.control("LMfreq") = 289.f;
  instance.control("LMgain") = 3.5f;
  instance.control("HMgain") = 3.5f;
  instance.control("HF") = 0.f;
  instance.activate();
  instance.run(64);
}

// Output of a fresh start (the audio state cleared) on the same signal.
std::vector<float> soundOf(Lv2TestInstance& instance) {
  instance.deactivate();
  instance.activate();
  return instance.process(testSignal(12000));
}

const void* portValue(const char* symbol, void* instance, uint32_t* size, uint32_t* type) {
  auto* self = static_cast<Lv2TestInstance*>(instance);
  *size = sizeof(float);
  *type = self->host.id(LV2_ATOM__Float);
  return &self->control(symbol);
}

void setPortValue(const char* symbol, void* instance, const void* value, uint32_t size,
                  uint32_t /*type*/) {
  if (size == sizeof(float))
    static_cast<Lv2TestInstance*>(instance)->control(symbol) = *static_cast<const float*>(value);
}

TEST(Lv2State, ALilvRoundTripGivesTheSameBytesAndTheSameSound) {
  Lv2TestHost host;
  Lv2TestInstance saved(host);
  setUpSnare(saved);
  LilvState* state = lilv_state_new_from_instance(
      host.plugin, saved.instance, &host.map, nullptr, nullptr, nullptr, nullptr, portValue, &saved,
      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, host.features);
  ASSERT_NE(state, nullptr);
  // Through the Turtle a host writes into its session.
  char* text =
      lilv_state_to_string(host.world, &host.map, &host.unmap, state, "urn:test:state", nullptr);
  LilvState* loaded = lilv_state_new_from_string(host.world, &host.map, text);
  ASSERT_NE(loaded, nullptr) << text;

  Lv2TestInstance restored(host);
  restored.activate();
  lilv_state_restore(loaded, restored.instance, setPortValue, &restored, 0, host.features);
  EXPECT_EQ(restored.saveState(), saved.saveState());
  EXPECT_EQ(firstDifference(soundOf(restored), soundOf(saved)), -1);
  lilv_state_free(loaded);
  lilv_free(text);
  lilv_state_free(state);
}

// A session of either format describes the same thing: the state is the VST build's chunk of
// the same settings, byte for byte (the README's "Snare" settings, as the VST host sets them).
TEST(Lv2State, TheStateIsTheVstChunkOfTheSameSettings) {
  Lv2TestHost host;
  Lv2TestInstance lv2(host);
  setUpSnare(lv2);
  Veltrane vst([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
    return opcode == audioMasterVersion ? kVstVersion : 0;
  });
  const std::pair<int, float> snare[] = {{kSat, 1.f},       {kHpf, 1.f},     {kHpfFreq, 0.6f},
                                         {kLf, 0.f},        {kLmFreq, 0.4f}, {kLmGain, 0.625f},
                                         {kHmGain, 0.625f}, {kHf, 0.f}};
  for (const auto& [index, value] : snare) vst.setParameter(index, value);
  void* chunk = nullptr;
  const VstInt32 size = vst.getChunk(&chunk, false);
  ASSERT_GT(size, 0);
  const auto* bytes = static_cast<const std::uint8_t*>(chunk);
  EXPECT_EQ(lv2.saveState().bytes, std::vector<std::uint8_t>(bytes, bytes + size));
}

TEST(Lv2State, ABadOrTruncatedStateIsRefusedAndChangesNothing) {
  Lv2TestHost host;
  Lv2TestInstance instance(host);
  setUpSnare(instance);
  const StoredState good = instance.saveState();
  ASSERT_GT(good.bytes.size(), 49u);
  const std::vector<float> sound = soundOf(instance);

  auto cut = [&](std::size_t bytes) {
    StoredState s = good;
    s.bytes.resize(bytes);
    return s;
  };
  StoredState foreign = good;
  foreign.bytes[4] ^= 0x5a;  // another plug-in's ID
  StoredState wrongType = good;
  wrongType.type = host.id(LV2_ATOM__String);
  StoredState otherKey = good;
  otherKey.key = host.id("urn:test:something-else");
  const StoredState bad[] = {
      cut(0),  cut(7),    cut(48), cut(good.bytes.size() / 2), cut(good.bytes.size() - 1),
      foreign, wrongType, otherKey};
  for (const StoredState& state : bad) {
    EXPECT_NE(instance.restoreState(state), LV2_STATE_SUCCESS) << state.bytes.size() << " bytes";
    EXPECT_EQ(instance.saveState(), good) << state.bytes.size() << " bytes";
  }
  EXPECT_EQ(firstDifference(soundOf(instance), sound), -1);
}

// Ardour 7 loads a session thus: the saved port values, activate, restore on the main thread
// before the first run, a probe block, then deactivate and activate again. The state must win
// even over port values that did not keep up with it (the window was never opened while the
// plug-in changed them).
TEST(Lv2Session, AReloadedSessionSoundsAsItWasSaved) {
  Lv2TestHost host;
  Lv2TestInstance saved(host);
  setUpSnare(saved);
  const StoredState state = saved.saveState();
  const std::vector<float> sound = soundOf(saved);
  for (const bool portsKeptUp : {true, false}) {
    Lv2TestInstance reloaded(host);
    if (portsKeptUp) {
      reloaded.ports = saved.ports;
    } else {
      reloaded.control("LMgain") = -6.f;
      reloaded.control("HF") = 1.f;
    }
    reloaded.activate();
    ASSERT_EQ(reloaded.restoreState(state), LV2_STATE_SUCCESS);
    reloaded.run(512);
    EXPECT_EQ(reloaded.saveState(), state) << portsKeptUp;
    EXPECT_EQ(firstDifference(soundOf(reloaded), sound), -1) << portsKeptUp;
  }
}

TEST(Lv2Run, TheLatencyPortReadsAsTheVstInitialDelayFromTheFirstBlock) {
  const struct {
    double rate;
    float latency;
  } cases[] = {{44100.0, 46.f}, {48000.0, 48.f}, {96000.0, 64.f}, {192000.0, 96.f}};
  Lv2TestHost host;
  for (const auto& c : cases) {
    Lv2TestInstance instance(host, c.rate);
    instance.run(0);  // Ardour's probe, before activate
    EXPECT_EQ(instance.ports[26], c.latency) << c.rate;
    instance.activate();
    instance.run(16);
    EXPECT_EQ(instance.ports[26], c.latency) << c.rate;
  }
}

TEST(Lv2Run, SharedBuffersSoundAsSeparateOnes) {
  Lv2TestHost host;
  for (const Wiring wiring : {Wiring::InPlace, Wiring::AllOnOne}) {
    const std::vector<float> signal = testSignal(5000, wiring == Wiring::AllOnOne);
    Lv2TestInstance apart(host), shared(host);
    setUpSnare(apart);
    setUpSnare(shared);
    EXPECT_EQ(firstDifference(shared.process(signal, 300, wiring), apart.process(signal, 300)), -1)
        << static_cast<int>(wiring);
  }
}

TEST(Lv2Run, RunAllocatesNothingWhateverTheBlockAndThePorts) {
  Lv2TestHost host;
  const long beforeInstance = heapAllocations();
  Lv2TestInstance instance(host);
  ASSERT_GT(heapAllocations(), beforeInstance) << "the count must see the plug-in's allocations";
  instance.activate();
  instance.run(16);
  const long before = heapAllocations();
  int block = 0;
  for (const std::uint32_t frames : {0u, 1u, 15u, 16u, 17u, 333u, 4096u, 7u}) {
    // A port change before every block, as automation gives.
    instance.control("LMgain") = block % 2 ? 6.f : -3.5f;
    instance.control("HFfreq") = 37.f + static_cast<float>(block);
    instance.control("OUTput") = block % 3 ? 0.5f : -2.f;
    instance.control("HMF") = static_cast<float>(block % 2);
    instance.run(frames);
    ++block;
  }
  instance.connectAudio(instance.inL, instance.inL, instance.inL, instance.inL);
  instance.run(1000);
  EXPECT_EQ(heapAllocations(), before);
}

}  // namespace
