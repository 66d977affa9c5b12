#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "StripTestSupport.h"
#include "tests/support/SimdPaths.h"

using namespace strip_test;

namespace {

StripSettings randomSettings(std::mt19937& rng) {
  auto in = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  auto mostly = [&] { return static_cast<int>(rng() % 5 != 0); };
  StripSettings s;
  s.eqOn = mostly();
  s.processLeft = mostly();
  s.processRight = mostly();
  s.satOn = mostly();
  s.outGain = in(0.1, 10.0);
  s.hpfOn = mostly();
  s.hpfFreq = in(10.0, 400.0);
  s.lfOn = mostly();
  s.lfDipOn = mostly();
  s.lfFreq = in(20.0, 200.0);
  s.lfGain = in(-16.0, 16.0);
  s.lmOn = mostly();
  s.lmFreq = in(40.0, 1000.0);
  s.lmQ = in(0.5, 3.0);
  s.lmGain = in(-16.0, 16.0);
  s.hmOn = mostly();
  s.hmFreq = in(300.0, 8000.0);
  s.hmQ = in(0.5, 3.0);
  s.hmGain = in(-16.0, 16.0);
  s.hfOn = mostly();
  s.hfDipOn = mostly();
  s.hfPosition = in(0.0, 1.0);
  s.hfFreq = in(1000.0, 16000.0);
  s.hfGain = in(-16.0, 16.0);
  return s;
}

// A path's strip and the SSE2 one side by side over the same host blocks: random settings
// changed now and then (so glides overlap), blocks of 1 to 4096 frames, stereo and mono
// loops, loud, quiet and silent stretches.
template <typename Sample>
void expectTheSameAsSse2(const VectorKernels& kernels, double rate, unsigned seed) {
  std::mt19937 rng(seed);
  StripSettings s = randomSettings(rng);
  ChannelStrip wide(kernels), base(VectorKernels::forPath(SimdPath::kSse2));
  prepare(wide, rate, s);
  prepare(base, rate, s);
  const int total = 40000;
  std::vector<Sample> left = noise<Sample>(total, seed, 1.2),
                      right = noise<Sample>(total, seed + 1);
  for (int i = 20000; i < 26000; ++i) {
    left[i] = static_cast<Sample>(i < 23000 ? left[i] * 1e-13 : 0.0);
    right[i] = static_cast<Sample>(i < 23000 ? right[i] * 1e-13 : 0.0);
  }
  std::vector<Sample> outs[2][2];
  for (auto& strip : outs) strip[0] = strip[1] = std::vector<Sample>(total);
  for (int pos = 0; pos < total;) {
    const int sizes[] = {1 + static_cast<int>(rng() % 17), 4096,
                         1 + static_cast<int>(rng() % 4096)};
    const int n = std::min(total - pos, sizes[rng() % 3]);
    if (rng() % 3 == 0) {
      s = randomSettings(rng);
      for (ChannelStrip* strip : {&wide, &base}) strip->updateBands(kAllBands, s);
    }
    const ChannelStrip::Routing routing{rng() % 4 != 0, rng() % 2 == 0};
    const Sample* in[2] = {left.data() + pos, right.data() + pos};
    for (int k = 0; k < 2; ++k) {
      Sample* out[2] = {outs[k][0].data() + pos, outs[k][1].data() + pos};
      (k == 0 ? wide : base).process(in, out, n, routing, s, noHook());
    }
    ASSERT_EQ(wide.getMeterPeak(), base.getMeterPeak()) << rate << " at " << pos;
    pos += n;
  }
  for (int c = 0; c < 2; ++c) {
    ASSERT_EQ(0, std::memcmp(outs[0][c].data(), outs[1][c].data(), sizeof(Sample) * total))
        << rate << " output " << c;
  }
}

using ChannelStripPaths = EveryPath;

TEST_P(ChannelStripPaths, GiveTheSameSamplesAsTheSse2Path) {
  if (GetParam() == SimdPath::kSse2) GTEST_SKIP() << "the path the others are held to";
  for (double rate : {44100.0, 96000.0}) {
    expectTheSameAsSse2<float>(kernels(), rate, 3);
    expectTheSameAsSse2<double>(kernels(), rate, 5);
  }
}

VT_FOR_EVERY_PATH(ChannelStripPaths);

}  // namespace
