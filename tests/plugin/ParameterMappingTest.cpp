#include "plugin/ParameterMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

StripSettings with(int index, float value) {
  StripSettings s;
  applyParameter(s, index, value);
  return s;
}

std::string display(int index, float value) {
  char text[32] = {};
  parameterDisplay(index, value, with(index, value), text);
  return text;
}

TEST(ParameterMapping, GainsStepAndScale) {
  EXPECT_EQ(with(kOutput, 0.5f).outGain, 1.0);
  EXPECT_NEAR(with(kOutput, 1.0f).outGain, std::pow(2.0, 20.0 / 6.0), 1e-12);
  EXPECT_NEAR(with(kOutput, 1.0f).outGain, 10.079, 1e-3);
  EXPECT_NEAR(with(kOutput, 0.0f).outGain, 0.0992, 1e-4);
  EXPECT_NEAR(with(kOutput, 0.49f).outGain, std::pow(2.0, -0.5 / 6.0), 1e-15);  // n = 39: -0.5 dB
  EXPECT_EQ(with(kLfGain, 0.5f).lfGain, 0.0);
  EXPECT_EQ(with(kLfGain, 0.0f).lfGain, -20.0);
  EXPECT_EQ(with(kLmGain, 1.0f).lmGain, 14.0);
  EXPECT_EQ(with(kLmGain, 0.625f).lmGain, 3.5);
  EXPECT_NEAR(with(kHmGain, 0.575f).hmGain, 2.0, 1e-12);
  // 0.45 as a float is just below 0.45, so the truncation lands one step lower.
  EXPECT_NEAR(with(kHfGain, 0.45f).hfGain, -2.25, 1e-12);
  // Out-of-range values are not clamped by the gain mapping.
  EXPECT_EQ(with(kLfGain, 2.0f).lfGain, 60.0);
}

TEST(ParameterMapping, FrequencySteps) {
  EXPECT_EQ(with(kHpfFreq, 0.0f).hpfFreq, 20.0);
  EXPECT_EQ(with(kHpfFreq, 0.5f).hpfFreq, 140.0);
  EXPECT_EQ(with(kHpfFreq, 1.0f).hpfFreq, 800.0);
  EXPECT_EQ(with(kHpfFreq, 0.6f).hpfFreq, 220.0);
  EXPECT_EQ(with(kLfFreq, 0.04f).lfFreq, 30.0);
  EXPECT_EQ(with(kLfFreq, 0.05f).lfFreq, 35.0);
  EXPECT_EQ(with(kLmFreq, 0.4f).lmFreq, 289.0);
  EXPECT_EQ(with(kHfFreq, 1.0f).hfFreq, 20000.0);
  EXPECT_EQ(with(kHfFreq, 0.3f).hfPosition, static_cast<double>(0.3f));
  // Lookups clamp the position; NaN lands on the first step.
  EXPECT_EQ(with(kHmFreq, 7.0f).hmFreq, 9700.0);
  EXPECT_EQ(with(kHmFreq, -1.0f).hmFreq, 420.0);
  EXPECT_EQ(transformDiscreetPos2Freq(kLowFrequencies, 11, std::nan("")), 30.0);
  EXPECT_EQ(transformPos2Freq(kLowFrequencies, 11, 0.05), 32.5);
  EXPECT_EQ(transformPos2Freq(kLowFrequencies, 11, 1.0), 410.0);
}

TEST(ParameterMapping, SwitchesAndThreeWays) {
  EXPECT_EQ(with(kEqAll, 0.5f).eqOn, 1);
  EXPECT_EQ(with(kEqAll, 0.49f).eqOn, 0);
  EXPECT_EQ(with(kHpf, 0.5f).hpfOn, 1);
  EXPECT_EQ(with(kHpf, 0.49f).hpfOn, 0);
  EXPECT_EQ(with(kSat, 0.5f).satOn, 1);
  // A stray value beyond an int's range still just switches the band on.
  EXPECT_NE(with(kHpf, 3e9f).hpfOn, 0);
  EXPECT_NE(with(kHf, -3e9f).hfOn, 0);
  const struct {
    float v;
    int left, right;
    const char* text;
  } lsr[] = {{0.0f, 1, 0, "Left"},      {0.2499f, 1, 0, "Left"}, {0.25f, 1, 1, "Stereo"},
             {0.7499f, 1, 1, "Stereo"}, {0.75f, 0, 1, "Right"},  {1.0f, 0, 1, "Right"}};
  for (const auto& c : lsr) {
    const StripSettings s = with(kLsr, c.v);
    EXPECT_EQ(s.processLeft, c.left) << c.v;
    EXPECT_EQ(s.processRight, c.right) << c.v;
    EXPECT_EQ(display(kLsr, c.v), c.text);
  }
  EXPECT_EQ(with(kLmQ, 0.2f).lmQ, 0.67);
  EXPECT_EQ(with(kLmQ, 0.25f).lmQ, 1.4142);
  EXPECT_EQ(with(kHmQ, 0.75f).hmQ, 2.5);
}

TEST(ParameterMapping, DisplayTexts) {
  const struct {
    int index;
    float value;
    const char* text;
  } cases[] = {
      {kEqAll, 1, "On   "},
      {kEqAll, 0, "Off  "},
      {kOutput, 0.5f, "0dB"},
      {kOutput, 1, "20dB"},
      {kOutput, 0, "-20dB"},
      {kSat, 1, "Sat"},
      {kSat, 0, "Thru"},
      {kHpfFreq, 0.5f, "140Hz"},
      {kHfFreq, 0.5f, "4.64kHz"},
      {kHfFreq, 1, "20.0kHz"},
      {kLfGain, 0.0f, "-20.00dB"},
      {kLmGain, 0.625f, "3.50dB"},
      {kLmQ, 0.1f, "0.7"},
      {kLmQ, 0.5f, "2.0"},
      {kHmQ, 0.9f, "4.0"},
      {2, 0.5f, ""},
      {39, 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(display(c.index, c.value), c.text) << c.index;
  // Every text of a value in 0..1 fits the 8 characters hosts allow.
  for (int index = 0; index < kNumParameters; ++index)
    for (int step = 0; step <= 200; ++step)
      EXPECT_LE(display(index, step / 200.0f).size(), 8u) << index << " " << step;
}

TEST(ParameterMapping, NamesDummiesAndProperties) {
  for (int i = 0; i < kNumParameters; ++i) {
    EXPECT_EQ(isDummyParameter(i), std::string(parameterName(i)).empty()) << i;
    EXPECT_LE(std::string(parameterName(i)).size(), 7u);
  }
  EXPECT_TRUE(isDummyParameter(40));
  EXPECT_STREQ(parameterName(-1), "");
  EXPECT_EQ(changeBitOfParameter(kLfDip), kBandLowShelf);
  EXPECT_EQ(changeBitOfParameter(kHfFreq), kBandHighShelf);
  EXPECT_EQ(changeBitOfParameter(kOutput), kEngineValuesChanged);
  EXPECT_EQ(changeBitOfParameter(30), 0u);

  VstParameterProperties p;
  std::memset(&p, 0x55, sizeof(p));
  EXPECT_FALSE(parameterProperties(kOutput, &p));
  EXPECT_EQ(static_cast<unsigned char>(p.label[0]), 0x55);  // untouched
  ASSERT_TRUE(parameterProperties(kLsr, &p));
  EXPECT_STREQ(p.label, "LSR");
  EXPECT_EQ(p.flags, kVstParameterIsSwitch | kVstParameterUsesFloatStep);
  EXPECT_EQ(p.stepFloat, 1.0f);
  EXPECT_EQ(p.largeStepFloat, 1.0f);
  EXPECT_TRUE(parameterProperties(36, &p));
  EXPECT_FALSE(parameterProperties(37, &p));
}

}  // namespace
