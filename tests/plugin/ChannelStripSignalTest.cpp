#include <gtest/gtest.h>

#include <cmath>

#include "StripTestSupport.h"

using namespace strip_test;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Without EQ, gain or saturation the strip is a pure delay of its reported latency, in every
// loop and routing: bit for bit except through the interpolator's centre tap
// (0.9999999999999999) in double precision, which may move a sample by one unit.
template <typename Sample>
void expectPureDelay(double host, double internal, int latency) {
  const StripSettings s = transparent();
  const int n = 3000;
  const std::vector<Sample> left = noise<Sample>(n, 21), right = noise<Sample>(n, 22);
  auto delayed = [&](const std::vector<Sample>& v, int i) {
    return i < latency ? 0 : v[i - latency];
  };
  const Sample untouched = 7;
  for (ChannelStrip::Routing routing :
       {ChannelStrip::Routing{true, true}, {true, false}, {false, true}, {false, false}}) {
    ChannelStrip strip;
    prepare(strip, host, s);
    ASSERT_EQ(strip.getLatencySamples(), latency) << host;
    ASSERT_EQ(strip.getInternalRate(), internal) << host;
    ASSERT_EQ(strip.left(ChannelStrip::kLm).getSampleRate(), internal) << host;
    std::vector<Sample> o0(n, untouched), o1(n, untouched);
    run(strip, s, left, right, o0, o1, routing, {512, 17, 1, 0, 4096});
    const bool exact = sizeof(Sample) == sizeof(float) || !strip.isOversampling();
    for (int i = 0; i < n; ++i) {
      const Sample l = delayed(left, i), r = routing.stereo ? delayed(right, i) : l;
      const Sample expected[2] = {l, routing.secondOutput ? r : untouched}, got[2] = {o0[i], o1[i]};
      for (int c = 0; c < 2; ++c) {
        const Sample e = std::fabs(expected[c]), unit = std::nextafter(e, Sample(8)) - e;
        ASSERT_LE(std::fabs(got[c] - expected[c]), exact ? 0 : unit)
            << host << " " << routing.stereo << routing.secondOutput << " frame " << i;
      }
    }
  }
}

// Host rates out of range are clamped for the design, while oversampling is decided on the
// rate as given.
TEST(ChannelStripSignal, TransparentStripIsADelayOfTheReportedLatency) {
  const struct {
    double host, internal;
    int latency;
  } rates[] = {{44100, 88200, 46},   {48000, 96000, 48}, {88200, 88200, 61},  {96000, 96000, 64},
               {192000, 192000, 96}, {8000, 88200, 46},  {300000, 44100, 46}, {NAN, 44100, 46}};
  for (const auto& r : rates) {
    expectPureDelay<float>(r.host, r.internal, r.latency);
    expectPureDelay<double>(r.host, r.internal, r.latency);
  }
}

// Stereo processing runs both channels side by side; each must come out exactly as the mono
// loop gives it for that channel alone, with glides overlapping, the mono runs' blocks cut
// elsewhere (with the gain settled, the cut changes nothing), and samples that are not numbers
// entering as silence rather than poisoning the bands.
TEST(ChannelStripSignal, StereoChannelsMatchMonoRunsBitForBit) {
  StripSettings s = allBandsOn();
  for (double rate : {44100.0, 96000.0}) {
    const int n = 6000;
    std::vector<double> l = noise<double>(n, 31, 1.5), r = noise<double>(n, 32, 1.5);
    l[100] = NAN;
    r[200] = INFINITY;
    l[300] = -INFINITY;
    std::vector<double> ml = l, mr = r;
    ChannelStrip stereo, monoL, monoR;
    for (ChannelStrip* st : {&stereo, &monoL, &monoR}) prepare(*st, rate, s);
    for (int pos = 0, round = 0; pos < n; ++round) {
      const int frames = std::min(n - pos, 300 + 37 * (round % 5)), cut = (7 * round) % frames;
      if (round % 3 == 1) {
        s.hmGain = round % 2 ? 6.0 : -6.0;
        s.hfOn = round % 4 != 1;
        for (ChannelStrip* st : {&stereo, &monoL, &monoR})
          st->updateBands(kBandMid | kBandHighShelf, s);
      }
      double* io[2] = {l.data() + pos, r.data() + pos};
      stereo.process(io, io, frames, {true, true}, s, noHook());
      for (auto [mono, v] : {std::pair{&monoL, &ml}, std::pair{&monoR, &mr}}) {
        double* first[2] = {v->data() + pos, nullptr};
        double* second[2] = {v->data() + pos + cut, nullptr};
        mono->process(first, first, cut, {false, false}, s, noHook());
        mono->process(second, second, frames - cut, {false, false}, s, noHook());
      }
      pos += frames;
    }
    EXPECT_EQ(l, ml) << rate;
    EXPECT_EQ(r, mr) << rate;
    for (int i = 0; i < n; ++i) ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << i;
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
      run(strip, s, l, r, l, r, {false, false});
      const double w = kTwoPi * f / strip.getInternalRate();
      double expected = 0.2;
      for (int id = 0; id < ChannelStrip::kSectionPairs; ++id)
        expected *= strip.left(static_cast<ChannelStrip::Section>(id)).calcA(w);
      const double measured = amplitudeAt(l, settle, measure, f, rate);
      const double tolerance = strip.isOversampling() ? 0.1 : 0.002;
      EXPECT_NEAR(20 * std::log10(measured / expected), 0.0, tolerance) << rate << " Hz " << f;
    }
  }
}

// Saturation, on both channels: loud, spiky material never passes the ceiling once the
// window has filled, and a full-scale sine peaks at 0.85.
TEST(ChannelStripSignal, SaturationLimits) {
  StripSettings s = transparent();
  s.satOn = 1;
  const int n = 20000;
  std::vector<double> loud = noise<double>(n, 51, 8.0), sine(n);
  for (int i = 0; i < n; i += 97) loud[i] = 40.0;
  for (int i = 0; i < n; ++i) sine[i] = std::sin(kTwoPi * 441.0 * i / 44100.0);
  ChannelStrip strip;
  prepare(strip, 44100.0, s);
  run(strip, s, sine, loud, sine, loud, {true, true}, {256});
  double peak = 0.0;
  for (int i = 1000; i < n; ++i) peak = std::max(peak, std::fabs(sine[i]));
  EXPECT_NEAR(peak, 0.85, 0.002);
  for (int i = 29; i < n; ++i) ASSERT_LE(std::fabs(loud[i]), 0.993807 * (1 + 1e-15)) << i;
}

TEST(ChannelStripSignal, GainGlidesByTwoPerMilleOfTheDistancePerSample) {
  StripSettings s = transparent();
  const double start = std::pow(2.0, -20.0 / 6.0), target = std::pow(2.0, 20.0 / 6.0);
  s.outGain = start;
  ChannelStrip strip;
  prepare(strip, 96000.0, s);
  s.outGain = target;
  std::vector<double> l(500, 0.0), r(500, 0.0);
  run(strip, s, l, r, l, r);
  EXPECT_NEAR(strip.getOutGainSmoothed(), target + (start - target) * std::pow(0.998, 500), 1e-9);
}

}  // namespace
