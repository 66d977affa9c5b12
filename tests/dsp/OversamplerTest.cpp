#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dsp/Oversampler.h"
#include "tests/support/SimdPaths.h"

namespace {

TEST(Oversampler, CoefficientsAreExact) {
  const Oversampler o;
  const double* c = o.coeffs();
  EXPECT_EQ(c[63], 0.9999999999999999);
  EXPECT_EQ(c[62], 0.6310769357600265);
  EXPECT_EQ(c[64], 0.6310769357600265);
  EXPECT_EQ(c[60], -0.20884627616573265);
  EXPECT_EQ(c[66], -0.20884627616573265);
  EXPECT_EQ(c[0], -8.607638167440096e-07);
  EXPECT_EQ(c[126], -8.607638167440096e-07);
  double sum = 0.0;
  for (int i = 0; i < 127; ++i) {
    sum += c[i];
    EXPECT_EQ(c[i], c[126 - i]);
    if ((63 - i) % 2 == 0 && i != 63) {
      EXPECT_EQ(c[i], 0.0) << i;  // half-band zeros
    }
  }
  EXPECT_NEAR(sum, 1.99219, 5e-6);
}

// The ring as described: one entry per step, written at a shared position moving down.
struct ReferenceRings {
  const double* coeffs;
  double ringL[128] = {}, ringR[128] = {};
  int pos = 127;
  static double at(const double* ring, int p) { return ring[((p % 128) + 128) % 128]; }
  static double interpolate(const double* c, const double* ring, int pos) {
    double acc = 0.0;
    for (int k = 0; k <= 62; k += 2) acc = acc + (at(ring, pos - k) + at(ring, pos + 2 + k)) * c[k];
    return acc;
  }
  // outL, outR: 2n samples each; the right ring only when both channels run.
  void upsample(const double* l, const double* r, double* outL, double* outR, int n, bool both) {
    for (int i = 0; i < n; ++i) {
      ringL[pos] = l[i];
      if (both) ringR[pos] = r[i];
      outL[2 * i] = interpolate(coeffs, ringL, pos);
      outR[2 * i] = interpolate(coeffs, ringR, pos);
      pos = (pos + 127) % 128;
      ringL[pos] = 0.0;
      if (both) ringR[pos] = 0.0;
      outL[2 * i + 1] = coeffs[63] * at(ringL, pos + 65) + 0.0;
      outR[2 * i + 1] = coeffs[63] * at(ringR, pos + 65) + 0.0;
      pos = (pos + 127) % 128;
    }
  }
  void delay(const double* l, const double* r, double* outL, double* outR, int n, bool both) {
    for (int i = 0; i < n; ++i) {
      ringL[pos] = l[i];
      if (both) ringR[pos] = r[i];
      pos = (pos + 127) % 128;
      ringL[pos] = l[i];
      if (both) ringR[pos] = r[i];
      outL[i] = at(ringL, pos + 65);
      outR[i] = at(ringR, pos + 65);
      pos = (pos + 127) % 128;
    }
  }
};

using OversamplerPaths = EveryPath;

TEST_P(OversamplerPaths, MatchesTheRingBitForBitAcrossMonoAndStereoChunks) {
  // Interpolating throughout, delaying throughout, and the two taking turns on one ring.
  for (int mode : {0, 1, 2}) {
    Oversampler o(kernels());
    ReferenceRings ref{o.coeffs()};
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    const int sizes[] = {16, 1, 7, 64, 3, 16, 50, 9, 32};
    for (int round = 0; round < 200; ++round) {
      const int n = sizes[round % 9];
      const bool interpolating = mode == 0 || (mode == 2 && round % 7 < 4);
      // Mono stretches leave the right ring alone; stereo ones must then see its old contents.
      const bool both = (round / 5) % 3 != 1;
      double l[64], r[64], outL[128], outR[128], expectL[128], expectR[128];
      for (int i = 0; i < n; ++i) outL[i] = l[i] = d(rng), outR[i] = r[i] = d(rng);
      if (interpolating) {
        ref.upsample(l, r, expectL, expectR, n, both);
        o.upsample(outL, outR, n, both);
      } else {
        ref.delay(l, r, expectL, expectR, n, both);
        o.delay(outL, outR, n, both);
      }
      const int frames = interpolating ? 2 * n : n;
      for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(outL[i], expectL[i]) << round << " " << i;
        if (both) {
          ASSERT_EQ(outR[i], expectR[i]) << round << " " << i;
        }
      }
      // One shared position, two entries per host sample, whichever form runs.
      ASSERT_EQ(o.position(), ref.pos);
    }
  }
}

TEST(Oversampler, ImpulseThroughBothPaths) {
  Oversampler up, plain;
  std::vector<double> interpolated, inputPhase, delayed;
  for (int chunk = 0; chunk < 6; ++chunk) {
    double w[64] = {}, v[64] = {};
    if (chunk == 0) w[0] = v[0] = 1.0;
    up.upsample(w, nullptr, 16, false);
    plain.delay(v, nullptr, 16, false);
    for (int i = 0; i < 16; ++i) {
      interpolated.push_back(w[2 * i]);
      inputPhase.push_back(w[2 * i + 1]);
      delayed.push_back(v[i]);
    }
  }
  EXPECT_EQ(interpolated[0], -8.607638167440096e-07);
  for (int i = 0; i < 96; ++i) {
    EXPECT_EQ(interpolated[i] != 0.0, i < 64) << i;
    EXPECT_EQ(inputPhase[i], i == 32 ? 0.9999999999999999 : 0.0) << i;
    EXPECT_EQ(delayed[i], i == 32 ? 1.0 : 0.0) << i;
  }

  // Decimation keeps the input phase.
  double w[6] = {1, 2, 3, 4, 5, 6};
  Oversampler::downsample(w, 3);
  EXPECT_EQ(w[0], 2);
  EXPECT_EQ(w[1], 4);
  EXPECT_EQ(w[2], 6);
}

TEST(Oversampler, ResetClearsHistory) {
  Oversampler o;
  double l[64], r[64];
  for (int i = 0; i < 64; ++i) l[i] = r[i] = 1.0;
  o.upsample(l, r, 16, true);
  o.reset();
  EXPECT_EQ(o.position(), 127);
  for (int chunk = 0; chunk < 2; ++chunk) {
    for (int i = 0; i < 64; ++i) l[i] = r[i] = 0.0;
    o.upsample(l, r, 16, true);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(l[i] + r[i], 0.0);
  }
}

VT_FOR_EVERY_PATH(OversamplerPaths);

}  // namespace
