#include "plugin/Veltrane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
};

std::vector<HostCall>* recordedCalls = nullptr;

VstIntPtr testHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  if (recordedCalls) recordedCalls->push_back({opcode, index});
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

std::unique_ptr<Veltrane> makeEffect() { return std::make_unique<Veltrane>(testHost); }

TEST(Veltrane, StartsWithTheCurrentFactoryPreset) {
  auto effect = makeEffect();
  EXPECT_EQ(effect->getPresetNo(), 0);
  EXPECT_EQ(effect->getParameter(kEqAll), 1.0f);
  EXPECT_EQ(effect->getParameter(kLfFreq), 0.5f);
  EXPECT_EQ(effect->getParameter(kHpfFreq), 0.0f);
  EXPECT_EQ(effect->getParameter(30), 0.5f);  // dummies hold 0.5
  EXPECT_FALSE(effect->isSettingPreset());
  const StripSettings s = effect->settings();
  EXPECT_EQ(s.lfOn, 1);
  EXPECT_EQ(s.lfFreq, 150.0);
  EXPECT_EQ(s.hmFreq, 2760.0);
}

TEST(Veltrane, PresetSwitchingPushesEveryValue) {
  auto effect = makeEffect();
  effect->setPresetNo(2);  // "Snare"
  EXPECT_EQ(effect->getPresetNo(), 2);
  const StripSettings s = effect->settings();
  EXPECT_EQ(s.hpfOn, 1);
  EXPECT_EQ(s.hpfFreq, 220.0);
  EXPECT_EQ(s.lmFreq, 289.0);
  EXPECT_EQ(s.lmGain, 3.5);
  EXPECT_EQ(s.hmGain, 3.5);
  EXPECT_EQ(s.hfOn, 0);
  EXPECT_EQ(s.satOn, 1);
  char name[32];
  effect->getProgramName(name);
  EXPECT_STREQ(name, "Snare");

  // A change lands in the current preset and survives switching away and back.
  effect->setParameter(kLmGain, 0.25f);
  effect->setPresetNo(0);
  EXPECT_EQ(effect->getParameter(kLmGain), 0.5f);
  effect->setPresetNo(2);
  EXPECT_EQ(effect->getParameter(kLmGain), 0.25f);
}

TEST(Veltrane, EqAllAndLsrBelongToEveryPreset) {
  auto effect = makeEffect();
  effect->setPresetNo(2);
  effect->setParameter(kEqAll, 0.0f);
  effect->setParameter(kLsr, 1.0f);
  for (int p = 0; p < kNumPresets; ++p) {
    EXPECT_EQ(effect->presetValue(p, kEqAll), 0.0f) << p;
    EXPECT_EQ(effect->presetValue(p, kLsr), 1.0f) << p;
  }
  effect->setPresetNo(4);
  EXPECT_EQ(effect->settings().eqOn, 0);
  EXPECT_EQ(effect->settings().processLeft, 0);
}

TEST(Veltrane, KeepsHostValuesWithinRangeAndIgnoresIndicesItDoesNotHave) {
  auto effect = makeEffect();
  effect->setParameter(45, 0.3f);
  effect->setParameter(-1, 0.3f);
  EXPECT_EQ(effect->getParameter(45), 0.0f);
  EXPECT_EQ(effect->getParameter(-1), 0.0f);
  constexpr float kInf = std::numeric_limits<float>::infinity();
  // Out of range is clamped, like a loaded bank; a NaN has no side to clamp to and is ignored.
  const struct {
    int index;
    float value;
    float stored;
  } rows[] = {{36, 2.0f, 1.0f},      {kLfGain, -1.0f, 0.0f},
              {kLfGain, kInf, 1.0f}, {kLfGain, -kInf, 0.0f},
              {kLfGain, NAN, 0.0f},  {kOutput, std::numeric_limits<float>::max(), 1.0f},
              {kOutput, NAN, 1.0f},  {kOutput, -kInf, 0.0f},
              {kLmGain, 1e30f, 1.0f}};
  effect->resume();
  for (const auto& r : rows) {
    effect->setParameter(r.index, r.value);
    EXPECT_EQ(effect->getParameter(r.index), r.stored) << r.index << " " << r.value;
    EXPECT_EQ(effect->presetValue(0, r.index), r.stored) << r.index << " " << r.value;
  }
  // LM at +14 dB, OUTput at -20 dB: a tone of 0.1 stays well below 1 (1e30 made it 1e21).
  std::vector<float> left(4096), right(4096);
  for (int i = 0; i < 4096; ++i) left[i] = right[i] = 0.1f * std::sin(0.01f * i);
  float* io[2] = {left.data(), right.data()};
  effect->processReplacing(io, io, 4096);
  for (float x : left) ASSERT_LE(std::fabs(x), 1.0f);
  char text[32];
  effect->getParameterDisplay(40, text);
  EXPECT_STREQ(text, "");
  effect->getParameterName(99, text);
  EXPECT_STREQ(text, "");
}

// Renaming from the preset panel refills the whole name field (the 24-byte buffers are
// checked through the dispatcher in the binary test).
TEST(Veltrane, PresetNameReplacesTheWholeField) {
  auto effect = makeEffect();
  char name[64];
  effect->setPresetName("Short");
  effect->getProgramName(name);
  EXPECT_STREQ(name, "Short");
  for (int i = 5; i < kPresetNameLength; ++i) EXPECT_EQ(effect->presetName(0)[i], 0);
}

TEST(Veltrane, SelectingAPresetTellsTheHost) {
  std::vector<HostCall> calls;
  recordedCalls = &calls;
  auto effect = makeEffect();
  calls.clear();
  effect->setPresetNo(1);
  recordedCalls = nullptr;
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opcode, audioMasterUpdateDisplay);
  EXPECT_EQ(calls[1].opcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(calls[1].index, 0);
}

TEST(Veltrane, SpeakerArrangementsSetTheStereoFlags) {
  auto effect = makeEffect();
  VstSpeakerArrangement in{}, out{};
  const struct {
    int inputs, outputs;
    bool stereoIn, stereoOut, accepted;
  } cases[] = {{1, 1, false, false, true}, {1, 2, false, true, true}, {2, 2, true, true, true},
               {2, 1, true, true, false},  {0, 2, true, true, false}, {6, 6, true, true, false}};
  for (const auto& c : cases) {
    in.numChannels = c.inputs;
    out.numChannels = c.outputs;
    EXPECT_EQ(effect->setSpeakerArrangement(&in, &out), c.accepted);
    EXPECT_EQ(effect->isStereoIn(), c.stereoIn);
    EXPECT_EQ(effect->isStereoOut(), c.stereoOut);
  }
}

TEST(Veltrane, LatencyInMillisecondsUsesTheStoredRate) {
  auto effect = makeEffect();
  EXPECT_NEAR(effect->getLatency1(), 1.043, 1e-3);
  effect->setSampleRate(96000.0f);  // not resumed yet: still 46 samples
  EXPECT_NEAR(effect->getLatency1(), 46 * 1000.0 / 96000.0, 1e-6);
  effect->setSampleRate(NAN);  // shown as at 44.1 kHz, like any rate out of range
  EXPECT_NEAR(effect->getLatency1(), 1.043, 1e-3);
}

}  // namespace
