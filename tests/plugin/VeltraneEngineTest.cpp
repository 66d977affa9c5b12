#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "StripTestSupport.h"
#include "plugin/Veltrane.h"

using namespace strip_test;

namespace {

int ioChangedCalls = 0;
bool secondPinConnected = true;

VstIntPtr engineHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  if (opcode == audioMasterIOChanged) ++ioChangedCalls;
  if (opcode == audioMasterPinConnected) return index == 1 && !secondPinConnected ? 1 : 0;
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

TEST(VeltraneEngine, TellsTheHostWhenResumeChangesTheLatency) {
  auto effect = std::make_unique<Veltrane>(engineHost);
  ioChangedCalls = 0;
  const struct {
    float rate;
    int calls, delay;
  } steps[] = {{44100, 0, 46}, {48000, 1, 48},  {48000, 1, 48},
               {96000, 2, 64}, {300000, 3, 46}, {44100, 3, 46}};
  for (const auto& step : steps) {
    effect->setSampleRate(step.rate);
    effect->resume();
    EXPECT_EQ(ioChangedCalls, step.calls) << step.rate;
    EXPECT_EQ(effect->getAeffect()->initialDelay, step.delay) << step.rate;
    EXPECT_EQ(effect->getLatency2(), static_cast<float>(step.delay));
    effect->suspend();
  }
  EXPECT_EQ(effect->getSampleRate(), 44100.0f);  // the stored rate is the clamped one
}

// The effect is the strip plus a hand-over: a change set between blocks takes effect at the
// next block's first chunk, exactly as an update made there.
TEST(VeltraneEngine, ProcessesThroughTheStripAndAppliesChangesAtChunkBoundaries) {
  for (bool connected : {true, false}) {
    secondPinConnected = connected;
    auto effect = std::make_unique<Veltrane>(engineHost);
    effect->setPresetNo(2);  // "Snare"
    effect->setSampleRate(48000.0f);
    effect->resume();

    ChannelStrip strip;
    StripSettings s = effect->settings();
    prepare(strip, 48000.0, s);

    const int n = 2000;
    std::vector<float> l = noise<float>(n, 61), r = noise<float>(n, 62), sl = l, sr = r;
    float* io[2] = {l.data(), r.data()};
    effect->processReplacing(io, io, 700);
    const float* sin[2] = {sl.data(), sr.data()};
    float* sout[2] = {sl.data(), sr.data()};
    const ChannelStrip::Routing routing{connected, connected};
    strip.process(sin, sout, 700, routing, s, noHook());

    effect->setParameter(kLmGain, 0.1f);
    effect->setParameter(kSat, 0.0f);
    float* io2[2] = {l.data() + 700, r.data() + 700};
    effect->processReplacing(io2, io2, n - 700);
    const StripSettings changed = effect->settings();
    const float* sin2[2] = {sl.data() + 700, sr.data() + 700};
    float* sout2[2] = {sl.data() + 700, sr.data() + 700};
    bool first = true;
    strip.process(sin2, sout2, n - 700, routing, s, [&](ChannelStrip& st) {
      if (first) {
        s = changed;
        st.updateBands(kBandLowMid, s);
      }
      first = false;
    });
    EXPECT_EQ(l, sl) << connected;
    if (connected) {
      EXPECT_EQ(r, sr);
    }
    EXPECT_EQ(effect->meterPeak.load(), strip.getMeterPeak());
    EXPECT_GT(effect->meterPeak.load(), 0.0);
  }
  secondPinConnected = true;
}

// A pause must leave nothing of the sound before it: no interpolator or filter history, no
// glide in flight, no look-ahead delay. Silence in is exactly silence out after the resume.
TEST(VeltraneEngine, SilenceAfterASuspendAndResumeIsExactZeros) {
  for (const float rate : {48000.0f, 96000.0f}) {  // with and without oversampling
    SCOPED_TRACE(rate);
    auto effect = std::make_unique<Veltrane>(engineHost);
    effect->setPresetNo(1);  // "Drum Group": saturation and every band on
    effect->setSampleRate(rate);
    effect->resume();
    const int n = 1024;
    std::vector<float> l = noise<float>(n, 7), r = noise<float>(n, 8);
    float* io[2] = {l.data(), r.data()};
    effect->processReplacing(io, io, n);
    effect->setParameter(kLmGain, 1.0f);  // glides in flight when the pause comes
    effect->setParameter(kHfFreq, 0.0f);
    effect->processReplacing(io, io, 100);
    effect->suspend();
    effect->resume();
    for (int block = 0; block < 4; ++block) {
      std::fill(l.begin(), l.end(), 0.0f);
      std::fill(r.begin(), r.end(), 0.0f);
      effect->processReplacing(io, io, n);
      for (int i = 0; i < n; ++i) ASSERT_TRUE(l[i] == 0.0f && r[i] == 0.0f) << block << " " << i;
    }
  }
}

}  // namespace

// Hosts have been seen handing null channel buffers; none of them may be written through.
TEST(VeltraneEngine, MissingChannelBuffersAreNotWrittenThrough) {
  secondPinConnected = true;
  auto effect = std::make_unique<Veltrane>(engineHost);
  effect->resume();
  std::vector<float> left(64, 0.25f), out(64, 0.0f);
  std::vector<double> leftD(64, 0.25), outD(64, 0.0);
  float* noRight[2] = {left.data(), nullptr};
  float* oneOut[2] = {out.data(), nullptr};
  float* noLeft[2] = {nullptr, left.data()};
  effect->processReplacing(noRight, oneOut, 64);  // mono from input 0, written to output 0 only
  effect->processReplacing(noLeft, oneOut, 64);   // nothing to read: nothing happens
  effect->processReplacing(noRight, noLeft, 64);
  double* noRightD[2] = {leftD.data(), nullptr};
  double* oneOutD[2] = {outD.data(), nullptr};
  effect->processDoubleReplacing(noRightD, oneOutD, 64);
  SUCCEED();
}
