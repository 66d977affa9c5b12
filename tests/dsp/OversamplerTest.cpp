#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dsp/Oversampler.h"

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

// The interpolator as its description states it, one channel, on a plain ring.
struct ReferenceUpsampler {
  const double* coeffs;
  double ring[128] = {};
  int pos = 127;
  double at(int p) const { return ring[((p % 128) + 128) % 128]; }
  void run(const double* in, double* out, int n) {
    for (int i = 0; i < n; ++i) {
      ring[pos] = in[i];
      double acc = 0.0;
      for (int k = 0; k <= 62; k += 2) acc = acc + (at(pos - k) + at(pos + 2 + k)) * coeffs[k];
      pos = (pos + 127) % 128;
      out[2 * i] = acc;
      ring[pos] = 0.0;
      out[2 * i + 1] = coeffs[63] * at(pos + 65) + 0.0;
      pos = (pos + 127) % 128;
    }
  }
};

TEST(Oversampler, StereoAndMonoMatchTheReferenceBitForBit) {
  Oversampler mono, stereo;
  ReferenceUpsampler refL{mono.coeffs()}, refR{mono.coeffs()};
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> d(-1.0, 1.0);
  const int sizes[] = {16, 1, 7, 16, 3, 16, 16, 9};
  for (int round = 0; round < 40; ++round) {
    const int n = sizes[round % 8];
    double l[64], r[64], m[64], el[64], er[64];
    for (int i = 0; i < n; ++i) m[i] = l[i] = d(rng), r[i] = d(rng);
    refL.run(l, el, n);
    refR.run(r, er, n);
    stereo.upsample(l, r, n);
    mono.upsample(m, n);
    for (int i = 0; i < 2 * n; ++i) {
      ASSERT_EQ(l[i], el[i]);
      ASSERT_EQ(r[i], er[i]);
      ASSERT_EQ(m[i], el[i]);
    }
    // One shared position, two entries per host sample, whichever form runs.
    EXPECT_EQ(stereo.position(), mono.position());
    EXPECT_EQ(stereo.position(), refL.pos);
  }
}

TEST(Oversampler, ImpulseThroughBothPaths) {
  Oversampler up, plain;
  std::vector<double> interpolated, inputPhase, delayed;
  for (int chunk = 0; chunk < 6; ++chunk) {
    double w[32] = {}, v[16] = {};
    if (chunk == 0) w[0] = v[0] = 1.0;
    up.upsample(w, 16);
    plain.delay(v, 16);
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
  double w[8] = {1, 2, 3, 4, 5, 6, 7, 8}, out[4];
  Oversampler::downsample(w, out, 4);
  EXPECT_EQ(out[0], 2);
  EXPECT_EQ(out[3], 8);
}

TEST(Oversampler, ResetClearsHistory) {
  Oversampler o;
  double w[32];
  for (double& x : w) x = 1.0;
  o.upsample(w, 16);
  o.reset();
  EXPECT_EQ(o.position(), 127);
  for (int chunk = 0; chunk < 2; ++chunk) {
    for (double& x : w) x = 0.0;
    o.upsample(w, 16);
    for (double x : w) EXPECT_EQ(x, 0.0);
  }
}

}  // namespace
