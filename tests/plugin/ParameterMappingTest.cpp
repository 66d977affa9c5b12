#include "plugin/ParameterMapping.h"
#include "plugin/ValueText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
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
  for (int index : {kEqAll, kHpf, kLf, kLfDip, kLmf, kHmf, kHf, kHfDip}) {
    EXPECT_EQ(display(index, 1.0f), "On   ") << index;
    EXPECT_EQ(display(index, 0.0f), "Off  ") << index;
  }
}

// Internal values a display text does not show exactly: OUTput's 2^(dB / 6) (0.49 is step 39,
// -0.5 dB); 0.45 as a float is just below 0.45, so its truncation lands one step lower; the
// gain mapping does not clamp; a stray switch value beyond an int's range still just switches
// the band on.
TEST(ParameterMapping, InternalValues) {
  EXPECT_EQ(with(kOutput, 0.5f).outGain, 1.0);
  EXPECT_DOUBLE_EQ(with(kOutput, 1.0f).outGain, 10.079368399158986);
  EXPECT_DOUBLE_EQ(with(kOutput, 0.49f).outGain, 0.94387431268169353);
  EXPECT_DOUBLE_EQ(with(kHfGain, 0.45f).hfGain, -2.25);
  EXPECT_EQ(with(kLfGain, 2.0f).lfGain, 60.0);
  EXPECT_EQ(with(kHfFreq, 0.3f).hfPosition, 0.3f);
  EXPECT_EQ(with(kLmQ, 0.2f).lmQ, 0.67);
  EXPECT_EQ(with(kLmQ, 0.25f).lmQ, 1.4142);
  EXPECT_EQ(with(kHmQ, 0.75f).hmQ, 2.5);
  EXPECT_EQ(with(kHpf, 3e9f).hpfOn, INT_MAX);
  EXPECT_EQ(with(kHf, -3e9f).hfOn, INT_MIN);
  const float lsr[] = {0.2499f, 0.25f, 0.7499f, 0.75f};
  const int left[] = {1, 1, 1, 0}, right[] = {0, 1, 1, 1};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(with(kLsr, lsr[k]).processLeft, left[k]) << lsr[k];
    EXPECT_EQ(with(kLsr, lsr[k]).processRight, right[k]) << lsr[k];
  }
}

// Only the switches and three dummies report properties.
TEST(ParameterMapping, NamesDummiesAndProperties) {
  for (int i = 0; i < kNumParameters; ++i)
    EXPECT_EQ(isDummyParameter(i), std::string(parameterName(i)).empty()) << i;
  VstParameterProperties p;
  EXPECT_FALSE(parameterProperties(kOutput, &p));
  ASSERT_TRUE(parameterProperties(kLsr, &p));
  EXPECT_STREQ(p.label, "LSR");
  EXPECT_EQ(p.flags, kVstParameterIsSwitch | kVstParameterUsesFloatStep);
  EXPECT_EQ(p.stepFloat, 1.0f);
  EXPECT_TRUE(parameterProperties(36, &p));
  EXPECT_FALSE(parameterProperties(37, &p));
}

using Converter = void (*)(float, char*);

void decibels(float gain, char* text) { dB2string2(gain, 2, text); }
void wholeDecibels(float gain, char* text) { dB2string2(gain, 0, text); }
constexpr Converter frequency = frequencyStringConvert2, ms = msStringConvert,
                    samples = smpStringConvert;

std::string convert(Converter converter, float value) {
  char text[32] = {};
  converter(value, text);
  return text;
}

// Halves round away from zero (at 0.49999); beside a minus sign only six digits fit.
TEST(ValueText, NumbersRoundHalfAwayFromZeroWithinEightCharacters) {
  const struct {
    int precision;
    float value;
    const char* expected;
  } cases[] = {{1, 1.26f, "1.3"},          {1, 5.25f, "5.3"},        {2, 1.005f, "1.01"},
               {2, 0.125f, "0.13"},        {2, -12.345f, "-12.35"},  {0, 0.5f, "1"},
               {0, -2.5f, "-3"},           {0, -0.3f, "-0"},         {2, -0.001f, "-0.00"},
               {0, 1000.0f, "1000"},       {3, 7.0f, "7.000"},       {2, 123456.7f, "123456.7"},
               {-1, 3.14159f, "3.141590"}, {1, 1234567, "1234567."}, {0, 12345678, "2345678"},
               {2, 0.0f, "0.00"},          {0, 1e9f, "Huge!"},       {0, -1e8f, "Huge!"},
               {0, -9999999, "-999999"}};
  for (const auto& c : cases) {
    char text[16] = {};
    float2string2(c.value, c.precision, text);
    EXPECT_STREQ(text, c.expected) << c.value << " @" << c.precision;
  }
}

TEST(ValueText, ConvertersChooseUnitAndPrecisionBySize) {
  const struct {
    Converter converter;
    float value;
    const char* expected;
  } cases[] = {
      {wholeDecibels, 2.0f, "6dB"}, {decibels, 2.0f, "6.00dB"},    {wholeDecibels, 10.0f, "20dB"},
      {decibels, 10.0f, "19.93dB"}, {wholeDecibels, 1.0f, "0dB"},  {wholeDecibels, 0.0f, "-oodB"},
      {decibels, -3.0f, "-oodB"},   {frequency, 0.1f, "0.100Hz"},  {frequency, 0.5f, "0.50Hz"},
      {frequency, 5.0f, "5.0Hz"},   {frequency, 999.4f, "999Hz"},  {frequency, 999.6f, "1000Hz"},
      {frequency, 1000, "1.00kHz"}, {frequency, 9999, "10.00kHz"}, {frequency, 12500, "12.5kHz"},
      {ms, 0.00001f, "0ms"},        {ms, 0.25f, "0.25ms"},         {ms, 1.043f, "1.0ms"},
      {ms, 250, "250ms"},           {ms, 999.7f, "1000ms"},        {ms, 1500, "1.50s"},
      {samples, 64.9f, "64smps"},   {samples, 0.5f, "0smps"},      {samples, -3.0f, "0smps"}};
  for (const auto& c : cases) EXPECT_EQ(convert(c.converter, c.value), c.expected) << c.value;
}

}  // namespace
