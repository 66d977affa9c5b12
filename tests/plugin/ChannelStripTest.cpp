#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "tests/support/HeapCount.h"

#include "StripTestSupport.h"

using namespace strip_test;

namespace {

using S = ChannelStrip::Section;

// Figures worked from the band formulas outside this code, at 88.2 kHz (44.1 kHz oversampled).
TEST(ChannelStrip, BandDesignsFollowTheBandFormulas) {
  StripSettings s{.hpfOn = 1,
                  .hpfFreq = 800.0,
                  .lfOn = 1,
                  .lmOn = 1,
                  .hfOn = 1,
                  .hfFreq = 4640.0,
                  .hfPosition = 0.5};
  ChannelStrip strip;
  prepare(strip, 44100.0, s);
  struct Design {
    S section;
    int type;
    double freq, q, gain;
    int status;
  };
  auto expectDesigns = [&](std::initializer_list<Design> designs) {
    for (const Design& d : designs) {
      for (const Filter* f : {&strip.left(d.section), &strip.right(d.section)}) {
        EXPECT_EQ(f->getType(), d.type) << d.section;
        EXPECT_NEAR(f->getFreq(), d.freq, 1e-9 * d.freq) << d.section;
        EXPECT_NEAR(f->getQ(), d.q, 1e-9 * d.q) << d.section;
        EXPECT_NEAR(f->getGain(), d.gain, 1e-9 * std::fabs(d.gain)) << d.section;
        EXPECT_EQ(f->getStatus(), d.status) << d.section;
        EXPECT_EQ(f->getSampleRate(), 88200.0) << d.section;
      }
    }
  };
  expectDesigns({{S::kHpf, 1, 864.0, 0.72821, 0.0, 1},
                 {S::kLfShelf, 3, 153.6, 0.5, 0.0, 1},
                 {S::kLfDip, 4, 614.4, 0.5, 0.0, 1},
                 {S::kLm, 4, 75.0, 0.397443015, 0.0, 1},
                 {S::kHm, 4, 420.0, 0.397443015, 0.0, 0},
                 {S::kHf, 4, 15430.11378, 0.03886862816, 0.0, 1},
                 {S::kHfDip, 4, 323.2976220, 0.2720803971, 0.0, 1}});

  // The low band narrows and moves down, its dip takes a quarter of the gain; the mid Q rises
  // with the gain either way; the high band asks for more than a section allows, its dip
  // moves up.
  s.lfGain = 20.0;
  s.lmQ = 2.5;
  s.lmGain = 14.0;
  s.hmGain = -7.0;
  s.hfFreq = 20000.0;
  s.hfPosition = 1.0;
  s.hfGain = -10.0;
  strip.updateBands(kAllBands, s);
  const Design lowDip{S::kLfDip, 4, 46.78272705, 0.38444, -7.2225, 1};
  expectDesigns({{S::kLfShelf, 3, 42.6624, 0.38444, 28.89, 1},
                 lowDip,
                 {S::kLm, 4, 75.0, 1.235105468, 15.59992, 1},
                 {S::kHm, 4, 420.0, 0.5269566248, -7.79996, 0},
                 {S::kHf, 4, 0.499 * 88200.0, 0.069564347, -14.445, 1},
                 {S::kHfDip, 4, 2021.397184, 0.3171091438, 3.1779, 1}});

  // The dip switch changes no section, only whether the engine runs the dip.
  s.lfDipOn = 0;
  strip.updateBands(kBandLowShelf, s);
  expectDesigns({lowDip});
}

// "Left" or "Right" equalises that channel only; the other passes as a delay.
TEST(ChannelStrip, LeftRightSwitchEqualisesOnlyTheChosenChannel) {
  StripSettings s = allBandsOn();
  s.satOn = 0;
  const int n = 3000;
  const std::vector<double> left = noise<double>(n, 7), right = noise<double>(n, 8);
  for (bool stereo : {true, false}) {
    for (int rightOnly : {0, 1}) {
      s.processLeft = 1 - rightOnly;
      s.processRight = rightOnly;
      ChannelStrip strip;
      prepare(strip, 44100.0, s);
      std::vector<double> o0(n), o1(n);
      run(strip, s, left, right, o0, o1, {stereo, true});
      int changed[2] = {0, 0};
      for (int i = 46; i < n; ++i) {
        changed[0] += std::fabs(o0[i] - left[i - 46]) > 1e-15;
        changed[1] += std::fabs(o1[i] - (stereo ? right : left)[i - 46]) > 1e-15;
      }
      // Mono, output 1 is a copy of output 0.
      const bool equalised[2] = {rightOnly == 0, stereo ? rightOnly == 1 : rightOnly == 0};
      for (int c = 0; c < 2; ++c)
        EXPECT_TRUE(equalised[c] ? changed[c] > n / 2 : changed[c] == 0)
            << stereo << rightOnly << " output " << c;
    }
  }
}

// The meter shows the peak of the last block over the channels the loop runs, capped at 4; a
// NaN output (a huge input clipped to a zero gain) shows as full scale, even with quieter
// samples after it.
TEST(ChannelStrip, MeterTakesTheBlockPeakCappedAtFour) {
  const struct {
    double outGain;
    int sat, frames;
    bool stereo;
    double input, peak;
  } cases[] = {{1, 0, 512, true, -0.75, 0.9},
               {1, 0, 512, false, -0.75, 0.75},
               {1, 0, 0, true, -0.75, 0.0},
               {10, 0, 512, true, -0.75, 4.0},
               {10, 1, 512, true, 1e308, 4.0}};
  for (const auto& c : cases) {
    StripSettings s = transparent();
    s.outGain = c.outGain;  // taken at once after a pause
    s.satOn = c.sat;
    ChannelStrip strip;
    prepare(strip, 96000.0, s);
    std::vector<double> l(512, 0.0), r(512, 0.0), o0(512), o1(512);
    r[20] = 0.9;
    const double* in[2] = {l.data(), r.data()};
    double* out[2] = {o0.data(), o1.data()};
    strip.process(in, out, 512, {c.stereo, true}, s, noHook());
    l[10] = c.input;
    strip.process(in, out, c.frames, {c.stereo, true}, s, noHook());
    EXPECT_EQ(strip.getMeterPeak(), c.peak) << c.input << " " << c.frames;
    if (c.sat) {
      EXPECT_TRUE(std::isnan(o0[10 + 64]));
    }
  }
}

// The hook runs before every chunk of a block, so a change made on another thread reaches the
// sections at the next chunk; and nothing allocates, in any loop, with glides running all the
// time, nor in suspend and resume.
TEST(ChannelStrip, HookRunsBeforeEveryChunkAndNothingAllocates) {
  StripSettings s = allBandsOn();
  ChannelStrip strip;
  prepare(strip, 44100.0, s);
  std::vector<float> l = noise<float>(4096, 9), r = noise<float>(4096, 10);
  std::vector<double> dl(l.begin(), l.end()), dr(r.begin(), r.end());
  const float* in[2] = {l.data(), r.data()};
  float* out[2] = {l.data(), r.data()};
  const double* din[2] = {dl.data(), dr.data()};
  double* dout[2] = {dl.data(), dr.data()};
  int chunks = 0, expected = 0;
  const long before = heapAllocations();
  for (int frames : {4096, 17, 16, 1, 0}) {
    for (bool stereo : {true, false}) {
      strip.process(in, out, frames, {stereo, true}, s, [&](ChannelStrip& st) {
        s.lmGain = (chunks++ % 2) ? 3.0 : -3.0;
        st.updateBands(kBandLowMid | kBandHighShelf, s);
      });
      strip.process(din, dout, frames, {stereo, false}, s, noHook());
      expected += (frames + 15) / 16;
    }
  }
  strip.suspend(s);
  strip.resume(48000.0, s);
  EXPECT_EQ(heapAllocations(), before);
  EXPECT_EQ(chunks, expected);
}

}  // namespace
