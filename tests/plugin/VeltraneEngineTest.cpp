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

// The latency in milliseconds uses the stored rate: the clamped one once resumed, the host's
// until then.
TEST(VeltraneEngine, TellsTheHostWhenResumeChangesTheLatency) {
  auto effect = std::make_unique<Veltrane>(engineHost);
  ioChangedCalls = 0;
  const struct {
    float rate;
    int calls, delay;
    float stored;
  } steps[] = {{44100, 0, 46, 44100}, {48000, 1, 48, 48000},  {48000, 1, 48, 48000},
               {96000, 2, 64, 96000}, {300000, 3, 46, 44100}, {44100, 3, 46, 44100}};
  for (const auto& step : steps) {
    effect->setSampleRate(step.rate);
    effect->resume();
    EXPECT_EQ(ioChangedCalls, step.calls) << step.rate;
    EXPECT_EQ(effect->getAeffect()->initialDelay, step.delay) << step.rate;
    EXPECT_EQ(effect->getSampleRate(), step.stored) << step.rate;
    EXPECT_FLOAT_EQ(effect->getLatency1(), step.delay * 1000.0f / step.stored) << step.rate;
    effect->suspend();
  }
  effect->setSampleRate(96000.0f);
  EXPECT_FLOAT_EQ(effect->getLatency1(), 46 * 1000.0f / 96000.0f);
  effect->setSampleRate(NAN);  // shown as at 44.1 kHz, like any rate out of range
  EXPECT_FLOAT_EQ(effect->getLatency1(), 46 * 1000.0f / 44100.0f);
}

// Every parameter a host automates is heard from the next block on: it changes the sound, and
// once the glides and the gain have settled, the effect sounds as one given the value before
// its resume. A change that reached no band, or the wrong one, would not. The meter shows the
// last block's peak.
TEST(VeltraneEngine, EveryAutomatedParameterIsHeard) {
  const int n = 16384, block = 512, tail = 2048;
  const std::vector<float> left = noise<float>(n, 61), right = noise<float>(n, 62);
  auto render = [&](int index, float value, bool fromTheStart) {
    auto effect = std::make_unique<Veltrane>(engineHost);
    // Every band on and away from 0 dB, so that each of its settings shapes the sound.
    for (int p : {kSat, kHpf, kLf, kLfDip, kLmf, kHmf, kHf, kHfDip}) effect->setParameter(p, 1.0f);
    for (int p : {kLfGain, kLmGain, kHmGain, kHfGain}) effect->setParameter(p, 0.75f);
    if (fromTheStart) effect->setParameter(index, value);
    effect->resume();
    std::vector<float> l = left, r = right;
    for (int pos = 0; pos < n; pos += block) {
      if (pos == block && !fromTheStart) effect->setParameter(index, value);
      float* io[2] = {l.data() + pos, r.data() + pos};
      effect->processReplacing(io, io, block);
    }
    float peak = 0.0f;
    for (int i = n - block; i < n; ++i) peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
    EXPECT_NEAR(effect->meterPeak.load(), std::min(peak, 4.0f), 1e-6);
    std::vector<float> end(l.end() - tail, l.end());
    end.insert(end.end(), r.end() - tail, r.end());
    return end;
  };
  auto largestDifference = [](const std::vector<float>& a, const std::vector<float>& b) {
    float d = 0.0f;
    for (std::size_t i = 0; i < a.size(); ++i) d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
  };
  const std::vector<float> unmoved = render(kEqAll, 1.0f, true);
  for (int index = 0; index < kNumParameters; ++index) {
    if (isDummyParameter(index)) continue;
    const float value = index == kHpfFreq ? 1.0f : 0.0f;  // the others all stand above 0
    const std::vector<float> moved = render(index, value, false);
    EXPECT_GT(largestDifference(moved, unmoved), 1e-3) << parameterName(index);
    EXPECT_LT(largestDifference(moved, render(index, value, true)), 1e-6) << parameterName(index);
  }
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

// Hosts have been seen handing null channel buffers; none of them may be written through, nor
// an output the host reports unconnected.
TEST(VeltraneEngine, MissingOrUnconnectedChannelsAreNotWrittenThrough) {
  auto effect = std::make_unique<Veltrane>(engineHost);
  effect->resume();
  std::vector<float> left(64, 0.25f), out(64, 0.0f), spare(64, 7.0f);
  float *l = left.data(), *o = out.data();
  // Mono from input 0 to output 0 only; nothing to read, so nothing happens; no output 0.
  float* buffers[][2][2] = {
      {{l, nullptr}, {o, nullptr}}, {{nullptr, l}, {o, nullptr}}, {{l, nullptr}, {nullptr, l}}};
  for (auto& b : buffers) effect->processReplacing(b[0], b[1], 64);
  std::vector<double> leftD(64, 0.25), outD(64, 0.0);
  double* inD[2] = {leftD.data(), nullptr};
  double* outsD[2] = {outD.data(), nullptr};
  effect->processDoubleReplacing(inD, outsD, 64);
  secondPinConnected = false;
  float* ins[2] = {l, l};
  float* outs[2] = {o, spare.data()};
  effect->processReplacing(ins, outs, 64);
  secondPinConnected = true;
  EXPECT_EQ(spare, std::vector<float>(64, 7.0f));
}

}  // namespace
