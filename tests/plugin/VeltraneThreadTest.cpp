// The audio thread against a host thread that automates every parameter, switches presets
// and restores chunks, and host threads that select presets against each other. Built
// with ThreadSanitizer by scripts/test.sh, which then fails on any data race; in the plain
// build it still checks that the audio stays sound and the store intact. Threads start
// together at a barrier, so they really overlap.
#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <cmath>
#include <memory>
#include <semaphore>
#include <thread>
#include <vector>

#include "plugin/Veltrane.h"

namespace {

// Answers from constants only, so either thread may call it.
VstIntPtr statelessHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

std::vector<unsigned char> chunkOf(Veltrane& effect) {
  void* data = nullptr;
  const VstInt32 size = effect.getChunk(&data, false);
  const auto* bytes = static_cast<const unsigned char*>(data);
  return bytes ? std::vector<unsigned char>(bytes, bytes + size) : std::vector<unsigned char>{};
}

// A host thread (not the one that created the effect) automates every parameter, switches
// presets and restores chunks while the audio thread processes.
TEST(VeltraneThreads, AutomationPresetsAndChunksWhileProcessing) {
  auto effect = std::make_unique<Veltrane>(statelessHost);
  effect->setSampleRate(48000.0f);
  effect->resume();
  std::vector<unsigned char> chunks[2];  // of another instance, each on a preset of its own
  Veltrane source(statelessHost);
  for (int k = 0; k < 2; ++k) {
    source.setPresetNo(k + 2);
    chunks[k] = chunkOf(source);
  }

  std::atomic<bool> done{false};
  bool sound = true;
  std::barrier start(2);
  std::thread audio([&] {
    start.arrive_and_wait();
    const int n = 256;
    std::vector<float> l(n), r(n);
    std::vector<double> dl(n), dr(n);
    float* io[2] = {l.data(), r.data()};
    double* dio[2] = {dl.data(), dr.data()};
    for (long b = 0; !done.load() || b < 50; ++b) {
      for (int i = 0; i < n; ++i) {
        l[i] = r[i] = static_cast<float>(0.5 * std::sin(0.03 * (b * n + i)));
        dl[i] = dr[i] = l[i];
      }
      if (b % 3 == 2) {
        effect->processDoubleReplacing(dio, dio, n);
        for (double v : dl) sound = sound && std::isfinite(v) && std::fabs(v) < 100.0;
      } else {
        effect->processReplacing(io, io, n);
        for (float v : l) sound = sound && std::isfinite(v) && std::fabs(v) < 100.0f;
      }
    }
  });

  bool chunksKept = true;
  std::thread host([&] {
    char text[64];
    start.arrive_and_wait();
    for (int round = 0; round < 60; ++round) {
      for (int index = 0; index < kNumParameters; ++index) {
        effect->setParameter(index, static_cast<float>((round * 7 + index * 3) % 11) / 10.0f);
        effect->getParameterDisplay(index, text);
      }
      effect->setPresetNo(round % 5);
      std::vector<unsigned char> given = chunks[round % 2];
      chunksKept =
          chunksKept &&
          effect->setChunk(given.data(), static_cast<VstInt32>(given.size()), false) == 0 &&
          chunkOf(*effect) == chunks[round % 2];
      effect->meterPeak.store(0.0);  // the editor's idle clears what the engine wrote
    }
    done.store(true);
  });
  host.join();
  audio.join();
  EXPECT_TRUE(chunksKept) << "every chunk given back is the one just taken";
  EXPECT_TRUE(sound);
}

// Stops the first preset push it sees halfway, until released: another thread's whole
// selection then falls into the middle of it.
class PausingVeltrane : public Veltrane {
 public:
  using Veltrane::Veltrane;
  std::atomic<bool> armed{false};
  std::binary_semaphore paused{0}, resumed{0};
  void setParameter(VstInt32 index, float value) override {
    if (index == kNumParameters / 2 && armed.exchange(false)) {
      paused.release();
      resumed.acquire();
    }
    Veltrane::setParameter(index, value);
  }
};

// Two threads selecting presets at once, as a host restoring a chunk (which selects the
// chunk's preset) does while the panel switches: every push must land whole, none of its
// values in the other's preset, and the effect must run on the preset selected last.
TEST(VeltraneThreads, PresetSelectionsOnTwoThreadsKeepTheStoreIntact) {
  auto effect = std::make_unique<PausingVeltrane>(statelessHost);
  float stored[kNumPresets][kNumParameters];
  for (int p = 0; p < kNumPresets; ++p)
    for (int i = 0; i < kNumParameters; ++i) {
      if (i > kLsr && !effect->isDummy(i))
        effect->setPresetValue(p, i, static_cast<float>(p * 40 + i) / 256);
      stored[p][i] = effect->presetValue(p, i);
    }
  auto expectIntact = [&] {
    for (int p = 0; p < kNumPresets; ++p)
      for (int i = 0; i < kNumParameters; ++i)
        EXPECT_EQ(effect->presetValue(p, i), stored[p][i]) << "preset " << p << " value " << i;
    const int current = static_cast<int>(effect->getPresetNo());
    for (int i = 0; i < kNumParameters; ++i)
      EXPECT_EQ(effect->getParameter(i), stored[current][i]) << "value " << i;
  };

  effect->armed = true;
  std::thread panel([&] { effect->setPresetNo(1); });
  effect->paused.acquire();
  effect->setPresetNo(3);
  effect->resumed.release();
  panel.join();
  EXPECT_EQ(effect->getPresetNo(), 3);
  expectIntact();

  // Freely racing, met again at every round so the two really run side by side.
  constexpr int kRounds = 100;
  constexpr int kSelections = 50;
  std::barrier round(2);
  auto select = [&](int number) {
    for (int r = 0; r < kRounds; ++r) {
      round.arrive_and_wait();
      for (int s = 0; s < kSelections; ++s) effect->setPresetNo(number);
    }
  };
  std::thread host(select, 3);
  select(1);
  host.join();
  expectIntact();
}

}  // namespace
