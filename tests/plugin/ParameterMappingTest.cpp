#include "plugin/ParameterMapping.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
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

// The display texts come from the internal values (LSR's and the Q's from the normalised
// value), so they pin both.
TEST(ParameterMapping, DisplayTexts) {
  const struct {
    int index;
    float value;
    const char* text;
  } cases[] = {{kEqAll, 0.5f, "On   "},     {kEqAll, 0.49f, "Off  "},    {kSat, 0.5f, "Sat"},
               {kSat, 0.49f, "Thru"},       {kHpf, 0.5f, "On   "},       {kHpf, 0.49f, "Off  "},
               {kLsr, 0.2499f, "Left"},     {kLsr, 0.25f, "Stereo"},     {kLsr, 0.7499f, "Stereo"},
               {kLsr, 0.75f, "Right"},      {kOutput, 1.0f, "20dB"},     {kOutput, 0.0f, "-20dB"},
               {kLfGain, 0.0f, "-20.00dB"}, {kLmGain, 0.625f, "3.50dB"}, {kLmGain, 1.0f, "14.00dB"},
               {kHmGain, 0.575f, "2.00dB"}, {kHfGain, 0.45f, "-2.25dB"}, {kHpfFreq, 0.0f, "20Hz"},
               {kHpfFreq, 0.5f, "140Hz"},   {kHpfFreq, 0.6f, "220Hz"},   {kHpfFreq, 1.0f, "800Hz"},
               {kLfFreq, 0.04f, "30Hz"},    {kLfFreq, 0.05f, "35Hz"},    {kLmFreq, 0.4f, "289Hz"},
               {kHmFreq, 7.0f, "9.70kHz"},  {kHmFreq, -1.0f, "420Hz"},   {kHmFreq, NAN, "420Hz"},
               {kHfFreq, 0.5f, "4.64kHz"},  {kHfFreq, 1.0f, "20.0kHz"},  {kLmQ, 0.2f, "0.7"},
               {kLmQ, 0.25f, "2.0"},        {kHmQ, 0.75f, "4.0"},        {39, 1.0f, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(display(c.index, c.value), c.text) << c.index << " " << c.value;
}

// Internal values a display text does not show exactly: OUTput's 2^(dB / 6) (0.49 is step 39,
// -0.5 dB); 0.45 as a float is just below 0.45, so its truncation lands one step lower; the
// gain mapping does not clamp; a stray switch value beyond an int's range still just switches
// the band on.
TEST(ParameterMapping, InternalValues) {
  using S = StripSettings;
  const struct {
    int index;
    float value;
    double S::*field;
    double internal;
  } values[] = {{kOutput, 0.5f, &S::outGain, 1.0},
                {kOutput, 1.0f, &S::outGain, 10.079368399158986},
                {kOutput, 0.49f, &S::outGain, 0.94387431268169353},
                {kHfGain, 0.45f, &S::hfGain, -2.25},
                {kLfGain, 2.0f, &S::lfGain, 60.0},
                {kHfFreq, 0.3f, &S::hfPosition, 0.3f},
                {kLmQ, 0.2f, &S::lmQ, 0.67},
                {kLmQ, 0.25f, &S::lmQ, 1.4142},
                {kHmQ, 0.75f, &S::hmQ, 2.5}};
  for (const auto& v : values)
    EXPECT_NEAR(with(v.index, v.value).*v.field, v.internal, 1e-15 * std::fabs(v.internal))
        << v.index << " " << v.value;
  const struct {
    int index;
    float value;
    int S::*field;
    int internal;
  } switches[] = {{kEqAll, 0.5f, &S::eqOn, 1},          {kEqAll, 0.49f, &S::eqOn, 0},
                  {kSat, 0.5f, &S::satOn, 1},           {kSat, 0.49f, &S::satOn, 0},
                  {kHpf, 0.5f, &S::hpfOn, 1},           {kHpf, 0.49f, &S::hpfOn, 0},
                  {kHpf, 3e9f, &S::hpfOn, INT_MAX},     {kHf, -3e9f, &S::hfOn, INT_MIN},
                  {kLsr, 0.2499f, &S::processRight, 0}, {kLsr, 0.25f, &S::processRight, 1},
                  {kLsr, 0.7499f, &S::processLeft, 1},  {kLsr, 0.75f, &S::processLeft, 0}};
  for (const auto& v : switches)
    EXPECT_EQ(with(v.index, v.value).*v.field, v.internal) << v.index << " " << v.value;
}

TEST(ParameterMapping, NamesDummiesAndProperties) {
  for (int i = 0; i < kNumParameters; ++i)
    EXPECT_EQ(isDummyParameter(i), std::string(parameterName(i)).empty()) << i;
  EXPECT_TRUE(isDummyParameter(40));
  EXPECT_STREQ(parameterName(-1), "");

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
