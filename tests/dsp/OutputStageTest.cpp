#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "dsp/OutputStage.h"

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

TEST(OutputStage, MatchesTheDescriptionAcrossRatesAndModes) {
  for (double rate : {44100.0, 96000.0, 200000.0}) {
    OutputStage stage;
    stage.configure(rate);
    stage.clear();
    ReferenceStage ref(rate);
    ASSERT_EQ(stage.getLookAheadLength(), ref.n);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> d(-2.0, 2.0);
    for (int chunk = 0; chunk < 400; ++chunk) {
      const bool both = chunk % 7 != 3, sat = chunk % 11 > 2;
      const double g = 0.5 + (chunk % 5) * 0.3;
      double lr[32];
      double expected[32];
      for (int i = 0; i < 16; ++i) {
        lr[2 * i] = d(rng);
        lr[2 * i + 1] = d(rng);
      }
      for (int i = 0; i < 16; ++i) {
        expected[2 * i] = ref.sample(0, lr[2 * i], g, sat);
        expected[2 * i + 1] = both ? ref.sample(1, lr[2 * i + 1], g, sat) : 0.0;
        ref.pos = (ref.pos + 1) % 1024;
      }
      stage.process(lr, 16, g, sat, both);
      for (int i = 0; i < 16; ++i) {
        ASSERT_EQ(lr[2 * i], expected[2 * i]) << rate << " chunk " << chunk;
        if (both) {
          ASSERT_EQ(lr[2 * i + 1], expected[2 * i + 1]) << rate << " chunk " << chunk;
        }
      }
    }
  }
}

}  // namespace
