#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "StripTestSupport.h"

using namespace strip_test;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Without EQ, gain or saturation the strip is a pure delay of its reported latency, bit for bit,
// in every loop and routing, however the blocks are cut. Host rates out of range are clamped
// for the design, while oversampling is decided on the rate as given.
TEST(ChannelStripSignal, TransparentStripIsADelayOfTheReportedLatency) {
  const StripSettings s = transparent();
  const int n = 3000;
  const std::vector<float> left = noise<float>(n, 21), right = noise<float>(n, 22);
  const struct {
    double host, internal;
    int latency;
  } rates[] = {{44100, 88200, 46},   {48000, 96000, 48}, {88200, 88200, 61},  {96000, 96000, 64},
               {192000, 192000, 96}, {8000, 88200, 46},  {300000, 44100, 46}, {NAN, 44100, 46}};
  for (const auto& rate : rates) {
    for (ChannelStrip::Routing routing :
         {ChannelStrip::Routing{true, true}, {true, false}, {false, true}, {false, false}}) {
      ChannelStrip strip;
      prepare(strip, rate.host, s);
      ASSERT_EQ(strip.getLatencySamples(), rate.latency) << rate.host;
      ASSERT_EQ(strip.getInternalRate(), rate.internal) << rate.host;
      for (int id = 0; id < ChannelStrip::kSectionPairs; ++id) {
        const auto section = static_cast<ChannelStrip::Section>(id);
        ASSERT_EQ(strip.left(section).getSampleRate(), rate.internal) << rate.host << " " << id;
        ASSERT_EQ(strip.right(section).getSampleRate(), rate.internal) << rate.host << " " << id;
      }
      std::vector<float> o0(n, 7.0f), o1(n, 7.0f);  // 7: untouched
      run(strip, s, left, right, o0, o1, routing, {512, 17, 1, 0, 4096});
      for (int i = 0; i < n; ++i) {
        const float l = i < rate.latency ? 0 : left[i - rate.latency];
        const float r = routing.stereo ? (i < rate.latency ? 0 : right[i - rate.latency]) : l;
        ASSERT_EQ(o0[i], l) << rate.host << " " << routing.stereo << " frame " << i;
        ASSERT_EQ(o1[i], routing.secondOutput ? r : 7.0f)
            << rate.host << " " << routing.stereo << " frame " << i;
      }
    }
  }
}

// Stereo processing runs both channels side by side; each must come out exactly as the mono
// loop gives it for that channel alone, with glides overlapping, "LSR" leaving one channel
// unequalised now and then, the mono runs' blocks cut elsewhere (with the gain settled, the cut
// changes nothing), and samples that are not numbers entering as silence rather than
// poisoning the bands.
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
        s.processLeft = round % 5 != 4;   // "Right" now and then
        s.processRight = round % 5 != 1;  // "Left" now and then
        for (ChannelStrip* st : {&stereo, &monoL, &monoR})
          st->updateBands(kBandMid | kBandHighShelf, s);
      }
      double* io[2] = {l.data() + pos, r.data() + pos};
      stereo.process(io, io, frames, {true, true}, s, noHook());
      // A mono run of the right channel runs with "LSR" mirrored.
      StripSettings sR = s;
      sR.processLeft = s.processRight;
      sR.processRight = s.processLeft;
      for (auto [mono, v, settings] : {std::tuple{&monoL, &ml, &s}, std::tuple{&monoR, &mr, &sR}}) {
        double* first[2] = {v->data() + pos, nullptr};
        double* second[2] = {v->data() + pos + cut, nullptr};
        mono->process(first, first, cut, {false, false}, *settings, noHook());
        mono->process(second, second, frames - cut, {false, false}, *settings, noHook());
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

// After a pause the bands are where the settings put them from the first sample, even when
// glides were in flight at the pause: the sound does not come back sweeping in from flat.
TEST(ChannelStripSignal, AResumedStripStartsAtItsSettings) {
  StripSettings s = allBandsOn();
  s.satOn = 0;
  const std::vector<double> sound = noise<double>(2048, 5);
  std::vector<double> silence(11025, 0.0), l(2048), r(2048), settledL(2048), settledR(2048);
  ChannelStrip paused, settled;
  prepare(paused, 44100.0, s);
  prepare(settled, 44100.0, s);
  run(paused, s, sound, sound, l, r);
  s.lmGain = 9.0;
  s.hfGain = -6.0;
  paused.updateBands(kBandLowMid | kBandHighShelf, s);
  run(paused, s, sound, sound, l, r, {}, {64});  // the pause comes mid-glide
  paused.suspend(s);
  paused.resume(44100.0, s);
  settled.updateBands(kAllBands, s);
  run(settled, s, silence, silence, silence, silence);  // its glides long over
  run(paused, s, sound, sound, l, r);
  run(settled, s, sound, sound, settledL, settledR);
  for (int i = 0; i < 2048; ++i) {
    ASSERT_NEAR(l[i], settledL[i], 1e-9) << i;
    ASSERT_NEAR(r[i], settledR[i], 1e-9) << i;
  }
}

// The output gain glides by two per mille of the distance per sample. The meter shows a NaN
// output (a huge input clipped to a zero gain) as full scale, even with quieter samples after
// it, and an empty block as nothing.
TEST(ChannelStripSignal, OutputGainGlidesAndTheMeterShowsWhatLeaves) {
  StripSettings s = transparent();
  const double start = std::pow(2.0, -20.0 / 6.0), target = std::pow(2.0, 20.0 / 6.0);
  s.outGain = start;  // taken at once after a pause
  s.satOn = 1;
  ChannelStrip strip;
  prepare(strip, 96000.0, s);
  s.outGain = target;
  std::vector<double> l(500, 0.0), r(500, 0.0);
  run(strip, s, l, r, l, r);
  EXPECT_NEAR(strip.getOutGainSmoothed(), target + (start - target) * std::pow(0.998, 500), 1e-9);
  l[10] = 1e308;
  run(strip, s, l, r, l, r);
  EXPECT_TRUE(std::isnan(l[10 + 64]));
  EXPECT_EQ(strip.getMeterPeak(), 4.0);
  double* none[2] = {nullptr, nullptr};
  strip.process(none, none, 0, {}, s, noHook());
  EXPECT_EQ(strip.getMeterPeak(), 0.0);
}

}  // namespace
