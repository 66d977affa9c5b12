#include "plugin/Veltrane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

using HostCalls = std::vector<std::pair<VstInt32, VstInt32>>;  // opcode, index
HostCalls* recordedCalls = nullptr;

VstIntPtr testHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  if (recordedCalls) recordedCalls->emplace_back(opcode, index);
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

std::unique_ptr<Veltrane> makeEffect() { return std::make_unique<Veltrane>(testHost); }

// A new instance runs "Current"; selecting a preset pushes every value of it, tells the host
// (a display update and one gesture on parameter 0), and a change lands in the current preset
// only, surviving a switch away and back; but "EQ all" and "LSR" land in every preset.
TEST(Veltrane, SelectsFactoryPresetsWhole) {
  auto effect = makeEffect();
  EXPECT_EQ(effect->getPresetNo(), 0);
  EXPECT_EQ(effect->getParameter(30), 0.5f);  // dummies hold 0.5
  HostCalls calls;
  recordedCalls = &calls;
  effect->setPresetNo(2);
  recordedCalls = nullptr;
  EXPECT_EQ(calls, (HostCalls{{audioMasterUpdateDisplay, 0},
                              {audioMasterBeginEdit, 0},
                              {audioMasterEndEdit, 0}}));
  const StripSettings s = effect->settings();
  EXPECT_EQ((std::vector<double>{s.hpfFreq, s.lmFreq, s.lmGain, s.hmGain}),
            (std::vector<double>{220, 289, 3.5, 3.5}));
  EXPECT_EQ((std::vector<int>{s.hpfOn, s.lfOn, s.hfOn, s.satOn}), (std::vector<int>{1, 0, 0, 1}));
  EXPECT_STREQ(effect->presetName(2), "Snare");

  effect->setParameter(kLmGain, 0.25f);
  effect->setPresetNo(0);
  EXPECT_EQ(effect->getParameter(kLmGain), 0.5f);
  effect->setPresetNo(2);
  EXPECT_EQ(effect->getParameter(kLmGain), 0.25f);

  // Renaming from the preset panel refills the whole stored field.
  effect->setPresetName("Short");
  for (int i = 5; i < kPresetNameLength; ++i) EXPECT_EQ(effect->presetName(2)[i], 0);

  // "EQ all" and "LSR" are settings of the strip, not of a preset: every preset takes them.
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

}  // namespace
