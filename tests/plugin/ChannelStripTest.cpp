#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "tests/support/HeapCount.h"

#include "StripTestSupport.h"

using namespace strip_test;

namespace {

using S = ChannelStrip::Section;

TEST(ChannelStrip, BandDesignsFollowTheBandFormulas) {
  StripSettings s;
  s.hpfOn = 1;
  s.hpfFreq = 800.0;
  s.lfOn = 1;
  s.lmOn = 1;
  s.lmQ = 1.4142;
  s.hfOn = 1;
  s.hfFreq = 4640.0;
  s.hfPosition = 0.5;
  ChannelStrip strip;
  prepare(strip, 44100.0, s);
  const double rate = strip.getInternalRate();
  ASSERT_EQ(rate, 88200.0);

  struct Expect {
    S section;
    int type;
    double freq, q, gain;
    int status;
  };
  const double slope = std::pow(0.6569, 0.5);
  const Expect neutral[] = {
      {S::kHpf, 1, 864.0, 0.72821, 0.0, 1},
      {S::kLfShelf, 3, 5.12 * 30.0, 0.5, 0.0, 1},
      {S::kLfDip, 4, 20.48 * 30.0, 0.5, 0.0, 1},
      {S::kLm, 4, 75.0, 0.39744, 0.0, 1},
      {S::kHm, 4, 420.0, 0.39744, 0.0, 0},
      {S::kHf, 4, 4.103 * 4640.0 * slope / 1.0, 0.038869, 0.0, 1},
      {S::kHfDip, 4, 0.085967 * slope * 4640.0, 0.27208, 0.0, 1},
  };
  for (const Expect& e : neutral) {
    for (const Filter* f : {&strip.left(e.section), &strip.right(e.section)}) {
      EXPECT_EQ(f->getType(), e.type) << e.section;
      EXPECT_NEAR(f->getFreq(), e.freq, 2e-4 * e.freq) << e.section;
      EXPECT_NEAR(f->getQ(), e.q, 5e-5 * e.q) << e.section;
      EXPECT_EQ(f->getGain(), e.gain) << e.section;
      EXPECT_EQ(f->getStatus(), e.status) << e.section;
      EXPECT_EQ(f->getSampleRate(), rate);
    }
  }
  EXPECT_NEAR(strip.left(S::kHfDip).getFreq(), 323.3, 0.05);

  // Boosts: the low band narrows and moves down, its dip takes a quarter; the high band asks
  // for more than the section allows; the mid Q rises with the gain.
  s.lfGain = 20.0;
  s.hfFreq = 20000.0;
  s.hfPosition = 1.0;
  s.lmGain = 14.0;
  s.lmQ = 2.5;
  strip.updateBands(kAllBands, s);
  EXPECT_NEAR(strip.left(S::kLfShelf).getFreq(), 0.64 * 30.0 * (8.0 - 28.89 / 5.0), 1e-9);
  EXPECT_NEAR(strip.left(S::kLfShelf).getQ(), 0.38444, 1e-9);
  EXPECT_NEAR(strip.right(S::kLfDip).getGain(), -7.2225, 1e-12);
  EXPECT_NEAR(strip.right(S::kLfShelf).getGain(), 28.89, 1e-12);
  EXPECT_NEAR(strip.left(S::kHf).getFreq(), 0.499 * 88200.0, 1e-9);
  EXPECT_NEAR(strip.left(S::kLm).getQ(), 0.39744 * 2.5 / 1.4142 * std::pow(10.0, 0.0175 * 14.0),
              1e-4);
  EXPECT_NEAR(strip.left(S::kLm).getGain(), 1.11428 * 14.0, 1e-12);
  EXPECT_EQ(strip.left(S::kLm).getFreq(), 75.0);

  // The dip switches change no section: only whether the engine runs the dips.
  const double dipFreq = strip.left(S::kLfDip).getFreq();
  s.lfDipOn = 1 - s.lfDipOn;
  strip.updateBands(kBandLowShelf, s);
  EXPECT_EQ(strip.left(S::kLfDip).getFreq(), dipFreq);
  EXPECT_EQ(strip.left(S::kLfDip).getStatus(), 1);
}

TEST(ChannelStrip, ResumeDecidesRatesAndLatency) {
  const struct {
    double host;
    bool oversampling;
    double rate, internal;
    int latency;
  } cases[] = {
      {44100, true, 44100, 88200, 46},
      {48000, true, 48000, 96000, 48},
      {88200, false, 88200, 88200, 61},
      {96000, false, 96000, 96000, 64},
      {192000, false, 192000, 192000, 96},
      // Out of range: clamped for the design, oversampling decided on the rate as given.
      {8000, true, 44100, 88200, 46},
      {300000, false, 44100, 44100, 46},
      {NAN, false, 44100, 44100, 46},
  };
  for (const auto& c : cases) {
    ChannelStrip strip;
    prepare(strip, c.host, allBandsOn());
    EXPECT_EQ(strip.isOversampling(), c.oversampling) << c.host;
    EXPECT_EQ(strip.getSampleRate(), c.rate) << c.host;
    EXPECT_EQ(strip.getInternalRate(), c.internal) << c.host;
    EXPECT_EQ(strip.getLatencySamples(), c.latency) << c.host;
    EXPECT_EQ(strip.left(S::kLm).getSampleRate(), c.internal) << c.host;
  }
  ChannelStrip fresh;  // before any resume: 44.1 kHz figures
  EXPECT_EQ(fresh.getLatencySamples(), 46);
}

// A change made on another thread reaches the sections at the next chunk, so the owner's
// hook must run before every chunk of a long block, not once per block.
TEST(ChannelStrip, HookRunsBeforeEveryChunk) {
  const StripSettings base = allBandsOn();
  for (int frames : {0, 1, 16, 17, 100}) {
    ChannelStrip strip;
    prepare(strip, 44100.0, base);
    std::vector<float> l = noise<float>(frames, 1), r = noise<float>(frames, 2);
    const float* in[2] = {l.data(), r.data()};
    float* out[2] = {l.data(), r.data()};
    int calls = 0;
    strip.process(in, out, frames, {}, base, [&](ChannelStrip&) { ++calls; });
    EXPECT_EQ(calls, (frames + 15) / 16) << frames;
  }
}

TEST(ChannelStrip, RoutesOutputsAsTheHostAsks) {
  const StripSettings s = transparent();
  const int n = 200, latency = 46;
  const std::vector<float> left = noise<float>(n, 5), right = noise<float>(n, 6);
  auto delayed = [&](const std::vector<float>& v, int i) {
    return i < latency ? 0.0f : v[i - latency];
  };
  const float sentinel = 7.0f;
  const struct {
    bool stereo, secondOutput;
    int out0, out1;  // 0 left, 1 right, 2 untouched
  } cases[] = {{true, true, 0, 1}, {true, false, 0, 2}, {false, true, 0, 0}, {false, false, 0, 2}};
  for (const auto& c : cases) {
    ChannelStrip strip;
    prepare(strip, 44100.0, s);
    std::vector<float> o0(n, sentinel), o1(n, sentinel);
    const float* in[2] = {left.data(), right.data()};
    float* out[2] = {o0.data(), o1.data()};
    strip.process(in, out, n, {c.stereo, c.secondOutput}, s, noHook());
    for (int i = 0; i < n; ++i) {
      const float expected[3] = {delayed(left, i), delayed(right, i), sentinel};
      ASSERT_EQ(o0[i], expected[c.out0]) << c.stereo << c.secondOutput << " " << i;
      ASSERT_EQ(o1[i], expected[c.out1]) << c.stereo << c.secondOutput << " " << i;
    }
  }
}

TEST(ChannelStrip, LeftRightSwitchEqualisesOnlyTheChosenChannel) {
  StripSettings s = allBandsOn();
  s.satOn = 0;
  s.processRight = 0;  // "Left"
  const int n = 3000;
  const std::vector<double> left = noise<double>(n, 7), right = noise<double>(n, 8);
  for (bool stereo : {true, false}) {
    for (int processLeft : {1, 0}) {
      s.processLeft = processLeft;
      ChannelStrip strip;
      prepare(strip, 44100.0, s);
      std::vector<double> o0(n), o1(n);
      const double* in[2] = {left.data(), right.data()};
      double* out[2] = {o0.data(), o1.data()};
      strip.process(in, out, n, {stereo, true}, s, noHook());
      int equalisedLeft = 0;
      for (int i = 46; i < n; ++i) {
        if (stereo) {
          ASSERT_NEAR(o1[i], right[i - 46], 1e-15);  // unequalised
        }
        equalisedLeft += std::fabs(o0[i] - left[i - 46]) > 1e-6;
      }
      EXPECT_EQ(equalisedLeft > n / 2, processLeft == 1) << stereo;
    }
  }
}

TEST(ChannelStrip, MeterTakesTheBlockPeakCappedAtFour) {
  StripSettings s = transparent();
  ChannelStrip strip;
  prepare(strip, 96000.0, s);
  std::vector<double> l(512, 0.0), r(512, 0.0);
  l[10] = -0.75;
  r[20] = 0.5;
  const double* in[2] = {l.data(), r.data()};
  double* out[2] = {l.data(), r.data()};
  std::vector<double> ol(512), orr(512);
  double* out2[2] = {ol.data(), orr.data()};
  strip.process(in, out2, 512, {}, s, noHook());
  EXPECT_EQ(strip.getMeterPeak(), 0.75);
  strip.process(in, out, 0, {}, s, noHook());
  EXPECT_EQ(strip.getMeterPeak(), 0.0);

  s.outGain = 10.0;
  strip.suspend(s);  // the gain is taken at once after a pause
  strip.resume(96000.0, s);
  strip.process(in, out2, 512, {}, s, noHook());
  EXPECT_EQ(strip.getMeterPeak(), 4.0);

  // An output that is not a number (a huge input clipped to a zero gain) shows as full
  // scale, even when quieter samples follow it.
  s.satOn = 1;
  strip.suspend(s);
  strip.resume(96000.0, s);
  std::fill(l.begin(), l.end(), 0.0);
  l[10] = 1e308;
  strip.process(in, out2, 512, {}, s, noHook());
  EXPECT_TRUE(std::isnan(ol[10 + 32 + 32]));
  EXPECT_EQ(strip.getMeterPeak(), 4.0);
}

TEST(ChannelStrip, SamplesThatAreNotNumbersDoNotPoisonTheBands) {
  const StripSettings s = allBandsOn();
  for (double bad : {NAN, INFINITY, -INFINITY}) {
    ChannelStrip strip;
    prepare(strip, 44100.0, s);
    std::vector<double> l = noise<double>(4000, 12), r = noise<double>(4000, 13);
    l[100] = r[200] = bad;
    run(strip, s, l, r, {}, {512});
    for (int i = 0; i < 4000; ++i) {
      ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << bad << " frame " << i;
    }
  }
}

TEST(ChannelStrip, ProcessingDoesNotAllocate) {
  StripSettings s = allBandsOn();
  ChannelStrip strip;
  prepare(strip, 44100.0, s);
  std::vector<float> l = noise<float>(4096, 9), r = noise<float>(4096, 10);
  std::vector<double> dl(l.begin(), l.end()), dr(r.begin(), r.end());
  const float* in[2] = {l.data(), r.data()};
  float* out[2] = {l.data(), r.data()};
  const double* din[2] = {dl.data(), dr.data()};
  double* dout[2] = {dl.data(), dr.data()};
  const long before = heapAllocations();
  int chunk = 0;
  for (int frames : {4096, 17, 1, 0}) {
    for (bool stereo : {true, false}) {
      strip.process(in, out, frames, {stereo, true}, s, [&](ChannelStrip& st) {
        s.lmGain = (chunk++ % 2) ? 3.0 : -3.0;  // gliding all the time
        st.updateBands(kBandLowMid | kBandHighShelf, s);
      });
      strip.process(din, dout, frames, {stereo, false}, s, noHook());
    }
  }
  strip.suspend(s);
  strip.resume(48000.0, s);
  EXPECT_EQ(heapAllocations(), before);
}

}  // namespace
