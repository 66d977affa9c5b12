// The DSP binary as an LV2 host drives it (through lilv): state, the order Ardour loads a
// session in, the latency port, shared buffers, a run that allocates nothing, and state restored
// while run goes on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "plugin/Veltrane.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/HeapCount.h"

namespace {

using Wiring = Lv2TestInstance::Wiring;

// The README's "Snare" settings, away from the defaults: the ports' values and the VST build's
// normalised ones.
const struct {
  const char* symbol;
  int parameter;
  float port, normalised;
} kSnare[] = {{"SAT", kSat, 1.f, 1.f},           {"HPF", kHpf, 1.f, 1.f},
              {"HPFfreq", kHpfFreq, 220.f, .6f}, {"LF", kLf, 0.f, 0.f},
              {"LMfreq", kLmFreq, 289.f, .4f},   {"LMgain", kLmGain, 3.5f, .625f},
              {"HMgain", kHmGain, 3.5f, .625f},  {"HF", kHf, 0.f, 0.f}};

// Set through the ports, they reach the current preset.
void setUpSnare(Lv2TestInstance& instance) {
  for (const auto& setting : kSnare) instance.control(setting.symbol) = setting.port;
  instance.activate();
  instance.run(64);
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

// Through the Turtle a host writes into its session. A session of either format describes the
// same thing: the state is the VST build's chunk of the same settings, byte for byte.
TEST(Lv2State, ALilvRoundTripGivesTheSameBytesAndSoundAndTheBytesAreTheVstChunk) {
  Lv2TestHost host;
  Lv2TestInstance saved(host);
  setUpSnare(saved);
  LilvState* state = lilv_state_new_from_instance(
      host.plugin, saved.instance, &host.map, nullptr, nullptr, nullptr, nullptr, portValue, &saved,
      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, host.features);
  ASSERT_NE(state, nullptr);
  char* text =
      lilv_state_to_string(host.world, &host.map, &host.unmap, state, "urn:test:state", nullptr);
  LilvState* loaded = lilv_state_new_from_string(host.world, &host.map, text);
  ASSERT_NE(loaded, nullptr) << text;
  Lv2TestInstance restored(host);
  restored.activate();
  lilv_state_restore(loaded, restored.instance, setPortValue, &restored, 0, host.features);
  EXPECT_EQ(restored.saveState(), saved.saveState());
  EXPECT_EQ(firstDifference(restored.freshSound(), saved.freshSound()), -1);
  lilv_state_free(loaded);
  lilv_free(text);
  lilv_state_free(state);

  Veltrane vst([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
    return opcode == audioMasterVersion ? kVstVersion : 0;
  });
  for (const auto& setting : kSnare) vst.setParameter(setting.parameter, setting.normalised);
  void* chunk = nullptr;
  const VstInt32 size = vst.getChunk(&chunk, false);
  const auto* bytes = static_cast<const std::uint8_t*>(chunk);
  EXPECT_EQ(saved.saveState().bytes, std::vector<std::uint8_t>(bytes, bytes + std::max(size, 0)));
}

// A bad state is refused and changes nothing. A good one wins even over port values that did not
// keep up with it (the window was never opened while the plug-in changed them), loaded the way
// Ardour 7 loads a session: the saved port values, activate, restore on the main thread before
// the first run, a probe block, then deactivate and activate again.
TEST(Lv2State, ABadStateIsRefusedAndAGoodOneLoadedAsArdourLoadsASessionWinsOverThePorts) {
  Lv2TestHost host;
  Lv2TestInstance instance(host), reloaded(host);
  setUpSnare(instance);
  const StoredState good = instance.saveState();
  ASSERT_GT(good.bytes.size(), 49u);
  const std::vector<float> sound = instance.freshSound();

  // Cut short, another plug-in's ID, another type, another key.
  std::vector<StoredState> bad;
  for (std::size_t bytes : {std::size_t{0}, std::size_t{7}, std::size_t{48}, good.bytes.size() / 2,
                            good.bytes.size() - 1}) {
    bad.push_back(good);
    bad.back().bytes.resize(bytes);
  }
  bad.insert(bad.end(), 3, good);
  bad[5].bytes[4] ^= 0x5a;
  bad[6].type = host.id(LV2_ATOM__String);
  bad[7].key = host.id("urn:test:something-else");
  for (const StoredState& state : bad) {
    EXPECT_NE(instance.restoreState(state), LV2_STATE_SUCCESS) << state.bytes.size() << " bytes";
    EXPECT_EQ(instance.saveState(), good) << state.bytes.size() << " bytes";
  }
  EXPECT_EQ(firstDifference(instance.freshSound(), sound), -1);

  reloaded.control("LMgain") = -6.f;
  reloaded.control("HF") = 1.f;
  reloaded.activate();
  ASSERT_EQ(reloaded.restoreState(good), LV2_STATE_SUCCESS);
  reloaded.run(512);
  EXPECT_EQ(reloaded.saveState(), good);
  EXPECT_EQ(firstDifference(reloaded.freshSound(), sound), -1);
}

TEST(Lv2Run, TheLatencyPortReadsAsTheVstInitialDelayFromTheFirstBlock) {
  Lv2TestHost host;
  for (const auto& c :
       {std::pair{44100.0, 46.f}, {48000.0, 48.f}, {96000.0, 64.f}, {192000.0, 96.f}}) {
    Lv2TestInstance instance(host, c.first);
    instance.run(0);  // Ardour's probe, before activate
    EXPECT_EQ(instance.ports[26], c.second) << c.first;
    instance.activate();
    instance.run(16);
    EXPECT_EQ(instance.ports[26], c.second) << c.first;
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
    instance.control("HMF") = static_cast<float>(block++ % 2);
    instance.run(frames);
  }
  instance.connectAudio(instance.inL, instance.inL, instance.inL, instance.inL);
  instance.run(1000);
  EXPECT_EQ(heapAllocations(), before);
}

// A host restoring and saving state on its main thread while run goes on with changing ports,
// as Ardour does for presets. Built with ThreadSanitizer by scripts/test.sh, which then fails on
// any data race; in the plain build it still checks the outcome.
TEST(Lv2Threads, StateRestoredAndSavedWhileRunGoesOn) {
  Lv2TestHost host;
  Lv2TestInstance instance(host);
  instance.activate();
  StoredState states[2];
  for (int i = 0; i < 2; ++i) {
    instance.control("LMgain") = i ? -4.5f : 6.f;
    instance.run(16);
    states[i] = instance.saveState();
  }
  StoredState broken = states[0];
  broken.bytes.resize(broken.bytes.size() / 2);
  std::atomic<bool> done{false};
  std::atomic<long> blocks{0};
  bool sound = true;
  std::thread audio([&] {
    for (long b = 0; !done.load(); ++b) {
      instance.control("HMgain") = static_cast<float>(b % 7);
      for (int i = 0; i < 256; ++i) instance.inL[i] = instance.inR[i] = std::sin(0.05f * i);
      instance.run(256);
      for (int i = 0; i < 256; ++i) sound = sound && std::isfinite(instance.outL[i]);
      blocks.fetch_add(1);
    }
  });
  // Every round waits until audio has run another block, so restores and runs take turns from
  // the first block to the last; audio then runs on through ten more.
  int refused = 0;
  for (int round = 0; round < 40; ++round) {
    for (const long seen = blocks.load(); blocks.load() == seen;) std::this_thread::yield();
    EXPECT_EQ(instance.restoreState(states[round % 2]), LV2_STATE_SUCCESS);
    refused += instance.restoreState(broken) != LV2_STATE_SUCCESS;
    EXPECT_FALSE(instance.saveState().bytes.empty());
  }
  for (const long seen = blocks.load(); blocks.load() < seen + 10;) std::this_thread::yield();
  done.store(true);
  audio.join();
  EXPECT_TRUE(sound);
  EXPECT_EQ(refused, 40);
}

}  // namespace
