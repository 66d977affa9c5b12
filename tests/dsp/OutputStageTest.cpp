#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dsp/OutputStage.h"
#include "tests/support/SimdPaths.h"

namespace {

// The output stage as described, one channel and one sample at a time.
struct ReferenceStage {
  int n;
  double window[1024] = {};
  double delay[2][1024] = {}, mag[2][1024] = {};
  int pos = 1023;
  explicit ReferenceStage(double rate) {
    n = static_cast<int>(rate / 1500);
    if (n % 2 == 0) ++n;
    for (int k = 0; k < n; ++k)
      window[k] = std::pow(0.5 + 0.5 * std::cos(2 * (k - n / 2) * 3.1415 / n), 0.7071);
  }
  double sample(int c, double x, double g, bool sat) {
    const double a = g * x;
    delay[c][pos] = a;
    if (sat) mag[c][pos] = std::fabs(a);
    const double d = delay[c][(pos - n / 2 + 1024) % 1024];
    if (!sat) return d;
    double peak = 0.0;
    for (int k = 0; k < n; ++k) peak = std::max(peak, window[k] * mag[c][(pos - k + 1024) % 1024]);
    const double gain = peak < 1.490526 ? 1 - 0.15 * (peak * peak) : 0.993807 / peak;
    return gain * d;
  }
};

using OutputStagePaths = EveryPath;

TEST_P(OutputStagePaths, MatchesTheDescriptionAcrossRatesAndModes) {
  for (double rate : {44100.0, 96000.0, 200000.0}) {
    OutputStage stage(kernels());
    stage.configure(rate);
    stage.clear();
    ReferenceStage ref(rate);
    ASSERT_EQ(stage.getLookAheadLength(), ref.n);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> d(-2.0, 2.0);
    const int sizes[] = {16, 16, 1, 7, 16, 100, 3};
    for (int chunk = 0; chunk < 400; ++chunk) {
      const bool both = chunk % 7 != 3, sat = chunk % 11 > 2;
      const double g = 0.5 + (chunk % 5) * 0.3;
      const int n = sizes[chunk % 7];
      std::vector<double> l(n), r(n), expectL(n), expectR(n);
      for (int i = 0; i < n; ++i) {
        l[i] = d(rng);
        r[i] = d(rng);
        expectL[i] = ref.sample(0, l[i], g, sat);
        expectR[i] = both ? ref.sample(1, r[i], g, sat) : r[i];
        ref.pos = (ref.pos + 1) % 1024;
      }
      stage.process(l.data(), r.data(), n, g, sat, both);
      ASSERT_EQ(l, expectL) << rate << " chunk " << chunk;
      ASSERT_EQ(r, expectR) << rate << " chunk " << chunk;
    }
  }
}

// Host buffers end where the call says: reading and writing stop at the last frame given,
// whatever the count left over after the full vectors.
TEST_P(OutputStagePaths, HostSamplesAreReadAndWrittenWithinTheFramesGiven) {
  constexpr int kMost = 20, kCanary = 7;
  for (int n = 0; n <= kMost; ++n) {
    std::vector<float> hostFloat(kMost + kCanary, 0.25f), in = hostFloat;
    std::vector<double> hostDouble(kMost + kCanary, 0.5), work(kMost + kCanary, -3.0);
    in[0] = NAN;  // what cannot be heard is read as silence
    kernels().readFloat(in.data(), work.data(), n);
    for (int i = 0; i < kMost + kCanary; ++i)
      ASSERT_EQ(work[i], i >= n ? -3.0 : i == 0 ? 0.0 : 0.25) << n << " frames, at " << i;
    kernels().readDouble(hostDouble.data(), work.data(), n);
    EXPECT_EQ(work[n], -3.0) << n;
    double peak = 0.0;
    kernels().writeFloat(work.data(), hostFloat.data(), n, peak);
    kernels().writeDouble(work.data(), hostDouble.data(), n, peak);
    EXPECT_EQ(peak, n > 0 ? 0.5 : 0.0) << n;
    for (int i = n; i < kMost + kCanary; ++i) {
      ASSERT_EQ(hostFloat[i], 0.25f) << n << " frames, at " << i;
      ASSERT_EQ(hostDouble[i], 0.5) << n << " frames, at " << i;
    }
  }
}

VT_FOR_EVERY_PATH(OutputStagePaths);

}  // namespace
