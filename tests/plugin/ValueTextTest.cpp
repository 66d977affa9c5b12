#include "plugin/ValueText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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

// Eight characters of number and three of unit; sixteen bytes for the sample count.
TEST(ValueText, ConvertersNeverExceedTheirBuffers) {
  for (float x : {-1e30f, -9999999.5f, -0.0049f, 0.0f, 1e-30f, 99999999.0f, 3e38f}) {
    char text[32];
    for (int precision = -3; precision <= 9; ++precision) {
      float2string2(x, precision, text);
      EXPECT_LE(std::string(text).size(), 8u) << x << " @" << precision;
    }
    for (Converter c : {frequency, ms, decibels}) EXPECT_LE(convert(c, x).size(), 11u) << x;
    EXPECT_LE(convert(samples, x).size(), 15u) << x;
  }
}

}  // namespace
