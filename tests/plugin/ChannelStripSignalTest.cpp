#include <gtest/gtest.h>

#include <cmath>

#include "StripTestSupport.h"

using namespace strip_test;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Without EQ, gain or saturation the strip is a pure delay of its reported latency, in
// every loop and at every rate: bit for bit except through the interpolator's centre tap
// (0.9999999999999999) in double precision, which may move a sample by one unit.
template <typename Sample>
void expectPureDelay(double rate, int latency) {
  const StripSettings s = transparent();
  const int n = 5000;
  const std::vector<Sample> left = noise<Sample>(n, 21), right = noise<Sample>(n, 22);
  for (bool stereo : {true, false}) {
    ChannelStrip strip;
    prepare(strip, rate, s);
    ASSERT_EQ(strip.getLatencySamples(), latency);
    std::vector<Sample> l = left, r = right;
    run(strip, s, l, r, {stereo, true}, {512, 17, 1, 0, 4096});
    const bool exact = sizeof(Sample) == sizeof(float) || !strip.isOversampling();
    for (int i = 0; i < n; ++i) {
      const Sample expectL = i < latency ? 0 : left[i - latency];
      const Sample expectR = stereo ? (i < latency ? 0 : right[i - latency]) : expectL;
      if (exact) {
        ASSERT_EQ(l[i], expectL) << rate << " frame " << i;
        ASSERT_EQ(r[i], expectR) << rate << " frame " << i;
      } else {
        ASSERT_LE(std::fabs(l[i] - expectL),
                  std::nextafter(std::fabs(expectL), 1.0) - std::fabs(expectL));
        ASSERT_LE(std::fabs(r[i] - expectR),
                  std::nextafter(std::fabs(expectR), 1.0) - std::fabs(expectR));
      }
    }
  }
}

TEST(ChannelStripSignal, TransparentStripIsADelayOfTheReportedLatency) {
  const struct {
    double rate;
    int latency;
  } rates[] = {{44100, 46}, {48000, 48}, {88200, 61}, {96000, 64}, {192000, 96}};
  for (const auto& r : rates) {
    expectPureDelay<float>(r.rate, r.latency);
    expectPureDelay<double>(r.rate, r.latency);
  }
}

// Stereo processing runs both channels side by side; each must come out exactly as the
// mono loop gives it for that channel alone.
TEST(ChannelStripSignal, StereoChannelsMatchMonoRunsBitForBit) {
  StripSettings s = allBandsOn();
  for (double rate : {44100.0, 96000.0}) {
    const int n = 6000;
    const std::vector<double> left = noise<double>(n, 31, 1.5), right = noise<double>(n, 32, 1.5);
    ChannelStrip stereo, monoL, monoR;
    for (ChannelStrip* st : {&stereo, &monoL, &monoR}) prepare(*st, rate, s);
    std::vector<double> l = left, r = right, ml = left, mr = right, unused(n);
    // Changes while running, so glides overlap the comparison.
    int pos = 0, round = 0;
    while (pos < n) {
      const int frames = std::min(n - pos, 300 + 37 * (round % 5));
      if (round % 3 == 1) {
        s.hmGain = round % 2 ? 6.0 : -6.0;
        s.hfOn = round % 4 != 1;
        for (ChannelStrip* st : {&stereo, &monoL, &monoR})
          st->updateBands(kBandMid | kBandHighShelf, s);
      }
      const double* in[2] = {l.data() + pos, r.data() + pos};
      double* out[2] = {l.data() + pos, r.data() + pos};
      stereo.process(in, out, frames, {true, true}, s, noHook());
      const double* inL[2] = {ml.data() + pos, nullptr};
      double* outL[2] = {ml.data() + pos, nullptr};
      monoL.process(inL, outL, frames, {false, false}, s, noHook());
      const double* inR[2] = {mr.data() + pos, nullptr};
      double* outR[2] = {mr.data() + pos, nullptr};
      monoR.process(inR, outR, frames, {false, false}, s, noHook());
      pos += frames;
      ++round;
    }
    EXPECT_EQ(l, ml) << rate;
    EXPECT_EQ(r, mr) << rate;
  }
}

// With the gain settled, how a signal is cut into blocks changes nothing.
TEST(ChannelStripSignal, BlockSizesDoNotChangeTheResult) {
  const StripSettings s = allBandsOn();
  const int n = 9000;
  const std::vector<float> left = noise<float>(n, 41, 1.2), right = noise<float>(n, 42, 1.2);
  std::vector<float> refL = left, refR = right;
  ChannelStrip reference;
  prepare(reference, 44100.0, s);
  run(reference, s, refL, refR, {}, {4096});
  for (const std::vector<int>& blocks : {std::vector<int>{1}, {17}, {0, 64, 3}, {512, 1, 4096}}) {
    ChannelStrip strip;
    prepare(strip, 44100.0, s);
    std::vector<float> l = left, r = right;
    run(strip, s, l, r, {}, blocks);
    EXPECT_EQ(l, refL) << blocks[0];
    EXPECT_EQ(r, refR) << blocks[0];
  }
}

// Amplitude of a sine of frequency f in the signal, over a whole number of periods.
double amplitudeAt(const std::vector<double>& v, int from, int count, double f, double rate) {
  double c = 0.0, s = 0.0;
  for (int i = 0; i < count; ++i) {
    c += v[from + i] * std::cos(kTwoPi * f * i / rate);
    s += v[from + i] * std::sin(kTwoPi * f * i / rate);
  }
  return 2.0 * std::sqrt(c * c + s * s) / count;
}

// A sine through the strip comes out scaled by the product of its sections' designed
// responses at the internal rate. Without oversampling that holds to the measurement's
// precision; with it, the interpolated phase runs 0.07 dB low (its taps sum to 0.992,
// the input phase's to 1) and there is no decimation filter, so the remainder at the image
// frequency, shaped by the bands there, folds back by a few hundredths of a dB.
TEST(ChannelStripSignal, BandResponsesMatchTheSectionsDesigns) {
  StripSettings s = allBandsOn();
  s.satOn = 0;
  s.lmGain = 9.0;
  s.hfGain = -6.0;
  for (double rate : {44100.0, 96000.0}) {
    for (double f : {40.0, 110.0, 300.0, 1000.0, 2000.0, 5000.0, 9000.0, 14000.0}) {
      ChannelStrip strip;
      prepare(strip, rate, s);
      const int settle = static_cast<int>(rate / 4), measure = static_cast<int>(rate / 2);
      std::vector<double> l(settle + measure), r(settle + measure, 0.0);
      for (std::size_t i = 0; i < l.size(); ++i) l[i] = 0.2 * std::sin(kTwoPi * f * i / rate);
      run(strip, s, l, r, {false, false}, {512});
      const double w = kTwoPi * f / strip.getInternalRate();
      double expected = 0.2;
      for (ChannelStrip::Section id :
           {ChannelStrip::kLfShelf, ChannelStrip::kLfDip, ChannelStrip::kLm, ChannelStrip::kHm,
            ChannelStrip::kHf, ChannelStrip::kHfDip, ChannelStrip::kHpf}) {
        expected *= strip.left(id).calcA(w);
      }
      const double measured = amplitudeAt(l, settle, measure, f, rate);
      const double tolerance = strip.isOversampling() ? 0.1 : 0.002;
      EXPECT_NEAR(20 * std::log10(measured / expected), 0.0, tolerance) << rate << " Hz " << f;
    }
  }
}

TEST(ChannelStripSignal, SaturationLimits) {
  StripSettings s = transparent();
  s.satOn = 1;
  const double rate = 44100.0;
  const int n = 20000;
  auto through = [&](std::vector<double> v) {
    ChannelStrip strip;
    prepare(strip, rate, s);
    std::vector<double> unused(v.size(), 0.0);
    run(strip, s, v, unused, {false, false}, {256});
    return v;
  };
  // A loud, spiky signal never passes the ceiling once the window has filled.
  std::vector<double> loud = noise<double>(n, 51, 8.0);
  for (int i = 0; i < n; i += 97) loud[i] = 40.0;
  const std::vector<double> out = through(loud);
  for (int i = 29; i < n; ++i) ASSERT_LE(std::fabs(out[i]), 0.993807 * (1 + 1e-15)) << i;

  // A full-scale sine peaks at 0.85; quiet material changes by less than 1.4 %.
  std::vector<double> sine(n), quiet(n);
  for (int i = 0; i < n; ++i) {
    sine[i] = std::sin(kTwoPi * 441.0 * i / rate);
    quiet[i] = 0.29 * std::sin(kTwoPi * 1000.0 * i / rate) * std::sin(kTwoPi * 3.0 * i / rate);
  }
  const std::vector<double> sat = through(sine), soft = through(quiet);
  double peak = 0.0;
  for (int i = 1000; i < n; ++i) peak = std::max(peak, std::fabs(sat[i]));
  EXPECT_NEAR(peak, 0.85, 0.002);
  for (int i = 100; i < n; ++i) {
    const double in = quiet[i - 46];
    if (std::fabs(in) > 1e-3) {
      ASSERT_LT(std::fabs(soft[i] / in - 1.0), 0.014) << i;
    }
  }
}

TEST(ChannelStripSignal, GainGlidesByTwoPerMilleOfTheDistancePerSample) {
  StripSettings s = transparent();
  s.outGain = std::pow(2.0, -20.0 / 6.0);
  ChannelStrip strip;
  prepare(strip, 96000.0, s);
  s.outGain = std::pow(2.0, 20.0 / 6.0);
  std::vector<double> l(500, 0.0), r(500, 0.0);
  run(strip, s, l, r, {}, {500});
  const double start = std::pow(2.0, -20.0 / 6.0), target = s.outGain;
  const double expected = target + (start - target) * std::pow(0.998, 500);
  EXPECT_NEAR(strip.getOutGainSmoothed(), expected, 1e-9);
}

}  // namespace
