// A host restoring and saving state on its main thread while run goes on with changing
// ports, as Ardour does for presets. Built with ThreadSanitizer by scripts/test.sh, which
// then fails on any data race; in the plain build it still checks the outcome.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "tests/lv2/Lv2TestHost.h"

namespace {

StoredState stateOf(Lv2TestHost& host, float lowMidGain) {
  Lv2TestInstance instance(host);
  instance.control("LMgain") = lowMidGain;
  instance.activate();
  instance.run(16);
  return instance.saveState();
}

TEST(Lv2Threads, StateRestoredAndSavedWhileRunGoesOn) {
  Lv2TestHost host;
  const StoredState states[] = {stateOf(host, 6.f), stateOf(host, -4.5f)};
  StoredState broken = states[0];
  broken.bytes.resize(broken.bytes.size() / 2);

  Lv2TestInstance instance(host);
  instance.activate();
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
  // Only once audio runs, and then until it has run on through the restores.
  while (blocks.load() == 0) std::this_thread::yield();
  const long before = blocks.load();
  int refused = 0;
  for (int round = 0; round < 40; ++round) {
    EXPECT_EQ(instance.restoreState(states[round % 2]), LV2_STATE_SUCCESS);
    refused += instance.restoreState(broken) != LV2_STATE_SUCCESS;
    EXPECT_FALSE(instance.saveState().bytes.empty());
  }
  while (blocks.load() < before + 10) std::this_thread::yield();
  done.store(true);
  audio.join();

  EXPECT_TRUE(sound);
  EXPECT_EQ(refused, 40);
  EXPECT_GT(blocks.load() - before, 0);
}

}  // namespace
