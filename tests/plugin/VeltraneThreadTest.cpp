// The audio thread against a thread that automates every parameter and switches presets,
// as hosts and editors do. Built with ThreadSanitizer by scripts/test.sh, which then fails
// on any data race; in the plain build it still checks that the audio stays sound.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "plugin/Veltrane.h"

namespace {

// Answers from constants only, so either thread may call it.
VstIntPtr statelessHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

TEST(VeltraneThreads, AutomationAndPresetsWhileProcessing) {
  auto effect = std::make_unique<Veltrane>(statelessHost);
  effect->setSampleRate(48000.0f);
  effect->resume();

  std::atomic<bool> done{false};
  std::atomic<long> blocks{0};
  bool sound = true;
  std::thread audio([&] {
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
      blocks.fetch_add(1);
    }
  });

  char text[64];
  for (int round = 0; round < 60; ++round) {
    for (int index = 0; index < kNumParameters; ++index) {
      effect->setParameter(index, static_cast<float>((round * 7 + index * 3) % 11) / 10.0f);
      effect->getParameterDisplay(index, text);
    }
    effect->setPresetNo(round % 5);
    effect->meterPeak.store(0.0);  // the editor's idle clears what the engine wrote
    std::this_thread::yield();
  }
  done.store(true);
  audio.join();
  EXPECT_TRUE(sound);
  EXPECT_GE(blocks.load(), 50);
}

}  // namespace
