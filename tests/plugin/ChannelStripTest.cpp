#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/support/HeapCount.h"

#include "StripTestSupport.h"

using namespace strip_test;

namespace {

using S = ChannelStrip::Section;

// Figures worked from the band formulas outside this code, at 88.2 kHz (44.1 kHz oversampled).
TEST(ChannelStrip, BandDesignsFollowTheBandFormulas) {
  StripSettings s;
  s.hpfOn = s.lfOn = s.lmOn = s.hfOn = 1;
  s.hpfFreq = 800.0;
  s.hfFreq = 4640.0;
  s.hfPosition = 0.5;
  ChannelStrip strip;
  prepare(strip, 44100.0, s);
  // Per section pair in their order: type, frequency, Q, gain, status.
  auto expectDesigns = [&](const double(&designs)[ChannelStrip::kSectionPairs][5]) {
    for (int id = 0; id < ChannelStrip::kSectionPairs; ++id) {
      const double* d = designs[id];
      const S section = static_cast<S>(id);
      for (const Filter* f : {&strip.left(section), &strip.right(section)}) {
        EXPECT_EQ(f->getType(), d[0]) << id;
        EXPECT_NEAR(f->getFreq(), d[1], 1e-9 * d[1]) << id;
        EXPECT_NEAR(f->getQ(), d[2], 1e-9 * d[2]) << id;
        EXPECT_NEAR(f->getGain(), d[3], 1e-9 * std::fabs(d[3])) << id;
        EXPECT_EQ(f->getStatus(), d[4]) << id;
      }
    }
  };
  expectDesigns({{1, 864.0, 0.72821, 0, 1},
                 {3, 153.6, 0.5, 0, 1},
                 {4, 614.4, 0.5, 0, 1},
                 {4, 75.0, 0.397443015, 0, 1},
                 {4, 420.0, 0.397443015, 0, 0},
                 {4, 15430.11378, 0.03886862816, 0, 1},
                 {4, 323.2976220, 0.2720803971, 0, 1}});

  // The low band narrows and moves down, its dip takes a quarter of the gain; the mid Q rises
  // with the gain either way; the high band asks for more than a section allows, its dip
  // moves up. The dip switch changes no section, only whether the engine runs the dip.
  s.lfGain = 20.0;
  s.lfDipOn = 1;
  s.lmQ = 2.5;
  s.lmGain = 14.0;
  s.hmGain = -7.0;
  s.hfFreq = 20000.0;
  s.hfPosition = 1.0;
  s.hfGain = -10.0;
  strip.updateBands(kAllBands, s);
  expectDesigns({{1, 864.0, 0.72821, 0, 1},
                 {3, 42.6624, 0.38444, 28.89, 1},
                 {4, 46.78272705, 0.38444, -7.2225, 1},
                 {4, 75.0, 1.235105468, 15.59992, 1},
                 {4, 420.0, 0.5269566248, -7.79996, 0},
                 {4, 0.499 * 88200.0, 0.069564347, -14.445, 1},
                 {4, 2021.397184, 0.3171091438, 3.1779, 1}});
}

// The hook runs before every chunk of a block, so a change made on another thread reaches the
// sections at the next chunk; and nothing allocates, in any loop, with glides running all the
// time, nor in suspend and resume.
TEST(ChannelStrip, HookRunsBeforeEveryChunkAndNothingAllocates) {
  StripSettings s = allBandsOn();
  ChannelStrip strip;
  prepare(strip, 44100.0, s);
  std::vector<float> l = noise<float>(4096, 9), r = noise<float>(4096, 10);
  float* io[2] = {l.data(), r.data()};
  int chunks = 0, expected = 0;
  const long before = heapAllocations();
  for (int frames : {4096, 17, 16, 1, 0}) {
    for (bool stereo : {true, false}) {
      strip.process(io, io, frames, {stereo, true}, s, [&](ChannelStrip& st) {
        s.lmGain = (chunks++ % 2) ? 3.0 : -3.0;
        st.updateBands(kBandLowMid | kBandHighShelf, s);
      });
      expected += (frames + 15) / 16;
    }
  }
  strip.suspend(s);
  strip.resume(48000.0, s);
  EXPECT_EQ(heapAllocations(), before);
  EXPECT_EQ(chunks, expected);
}

// The strip runs the chunks of a block in groups until the hook changes a band; whatever the
// hook changes at whichever chunk (gain, saturation, the chain, a band), the samples are
// those of a strip given one chunk per call. Blocks of odd lengths, both loops, one output
// or two, in place, both precisions, with and without oversampling.
template <typename Sample>
void expectGroupsGiveWhatSingleChunksGive(double rate) {
  struct Script {
    StripSettings s = allBandsOn();
    int chunk = 0;
    void operator()(ChannelStrip& strip) {
      const int k = chunk++;
      if (k == 200) s.outGain = 2.0;  // it glides from here to the end
      if (k % 13 == 5) s.satOn ^= 1;
      if (k % 17 == 7) s.lfDipOn ^= 1;
      if (k % 23 == 2) s.processRight ^= 1;
      if (k % 29 == 1) s.eqOn ^= 1;
      if (k % 19 == 9) {
        s.lmGain = -s.lmGain + 1.0;
        strip.updateBands(kBandLowMid, s);
      }
    }
  } grouped, single;
  ChannelStrip a, b;
  prepare(a, rate, grouped.s);
  prepare(b, rate, single.s);
  const int total = 6000;
  std::vector<Sample> l = noise<Sample>(total, 21), r = noise<Sample>(total, 22);
  std::vector<Sample> outL = l, outR = r;  // an output not written keeps what it held
  const int sizes[] = {512, 100, 1, 37, 2048, 16, 64, 333};
  for (int pos = 0, k = 0; pos < total; ++k) {
    const int n = std::min(sizes[k % 8], total - pos);
    const ChannelStrip::Routing routing{k % 5 != 3, k % 3 != 1};
    Sample* io[2] = {l.data() + pos, r.data() + pos};
    for (int done = 0; done < n; done += ChannelStrip::kChunkFrames) {
      const Sample* in[2] = {io[0] + done, io[1] + done};
      Sample* out[2] = {outL.data() + pos + done, outR.data() + pos + done};
      b.process(in, out, std::min(ChannelStrip::kChunkFrames, n - done), routing, single.s,
                [&](ChannelStrip& st) { single(st); });
    }
    a.process(io, io, n, routing, grouped.s, [&](ChannelStrip& st) { grouped(st); });
    pos += n;
  }
  EXPECT_EQ(grouped.chunk, single.chunk);
  EXPECT_EQ(0, std::memcmp(l.data(), outL.data(), sizeof(Sample) * total)) << rate;
  EXPECT_EQ(0, std::memcmp(r.data(), outR.data(), sizeof(Sample) * total)) << rate;
}

TEST(ChannelStrip, ChunksRunInGroupsGiveTheSamplesOfChunksRunOneByOne) {
  for (double rate : {44100.0, 96000.0}) {
    expectGroupsGiveWhatSingleChunksGive<float>(rate);
    expectGroupsGiveWhatSingleChunksGive<double>(rate);
  }
}

}  // namespace
