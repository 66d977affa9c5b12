#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dsp/StereoCascade.h"
#include "tests/support/SimdPaths.h"

namespace {

// A chain of sections for each channel, built alike, with some sections gliding, some off,
// some switched off mid-way, as the engine meets them.
struct Chain {
  std::vector<Filter> left, right;
  explicit Chain(int sections) {
    const int types[] = {Filter::kLowShelf, Filter::kPeaking, Filter::kPeaking, Filter::kHighPass,
                         Filter::kLowPass};
    for (int i = 0; i < sections; ++i) {
      for (auto* side : {&left, &right}) {
        // A low rate keeps the glides short (1000 samples), so that steady stretches follow.
        side->emplace_back(20000.0, types[i % 5], 200.0 * (i + 1), 0.7, 3.0 * (i % 3) - 2.0);
        side->back().setStatus(i % 4 == 3 ? 0 : 1);
        side->back().suspend(false);
      }
    }
  }
  std::vector<Filter*> pointers(std::vector<Filter>& v) {
    std::vector<Filter*> p;
    for (Filter& f : v) p.push_back(&f);
    return p;
  }
};

// A jump is a change made while suspended: it takes effect at once, without a glide.
void change(std::vector<Filter>& side, int round, bool alsoStatus, double gain, double freq,
            bool jump) {
  Filter& f = side[round % side.size()];
  if (jump) f.suspend(true);
  f.setGain(gain);
  f.setFreq(freq);
  if (alsoStatus) f.setStatus(f.getStatus() ? 0 : 1);
  if (jump) f.suspend(false);
}

using StereoCascadePaths = EveryPath;

TEST_P(StereoCascadePaths, MatchesSectionBySectionProcessingBitForBit) {
  struct Case {
    int sections;
    bool runLeft, runRight;
    bool unevenChanges;  // left and right settings drift apart
    double level;        // of the signal: 2e-14 is about where the flush starts to change values
  } cases[] = {{7, true, true, false, 1.0},    {5, true, true, true, 1.0},
               {1, true, true, false, 1.0},    {8, true, true, true, 1.0},
               {6, true, false, false, 1.0},   {6, false, true, false, 1.0},
               {3, false, false, false, 1.0},  {7, true, true, false, 2e-14},
               {7, true, false, false, 2e-14}, {8, false, true, false, 1.0}};
  const int sizes[] = {32, 1, 17, 0, 128, 5, 64, 129, 2};
  for (const Case& c : cases) {
    Chain fast(c.sections), slow(c.sections);
    StereoCascade cascade(kernels());
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> d(-1.0, 1.0), gain(-12.0, 12.0), freq(30.0, 9000.0);
    for (int round = 0; round < 300; ++round) {
      const int n = sizes[round % 9];
      // Overlapping glides, then a steady stretch with one jump.
      const bool glide = round % 60 < 15 && round % 5 == 2, jump = round % 60 == 52;
      if (glide || jump) {
        const double g = gain(rng), f = freq(rng);
        const bool status = glide && round % 3 == 0;
        change(fast.left, round, status, g, f, jump);
        change(slow.left, round, status, g, f, jump);
        const int r = c.unevenChanges ? round + 1 : round;
        change(fast.right, r, status, g, f, jump);
        change(slow.right, r, status, g, f, jump);
      }
      // Now and then silence.
      const double scale = round % 40 == 34 ? 0.0 : c.level;
      std::vector<double> fastL(n), fastR(n), l(n), r(n);
      for (int i = 0; i < n; ++i) {
        fastL[i] = l[i] = scale * d(rng);
        fastR[i] = r[i] = scale * d(rng);
      }
      cascade.run(fast.pointers(fast.left).data(), fast.pointers(fast.right).data(), c.sections,
                  fastL.data(), fastR.data(), n, c.runLeft, c.runRight);
      for (int s = 0; s < c.sections; ++s) {
        if (c.runLeft) slow.left[s].processFrame(l.data(), n);
        if (c.runRight) slow.right[s].processFrame(r.data(), n);
      }
      ASSERT_EQ(fastL, l) << "sections " << c.sections << " round " << round;
      ASSERT_EQ(fastR, r) << "sections " << c.sections << " round " << round;
      for (int s = 0; s < c.sections; ++s) {
        ASSERT_EQ(fast.left[s].getRampRemaining(), slow.left[s].getRampRemaining());
        ASSERT_EQ(fast.right[s].getCurrCoeffs().b1, slow.right[s].getCurrCoeffs().b1);
      }
    }
  }
}

VT_FOR_EVERY_PATH(StereoCascadePaths);

}  // namespace
