#include "plugin/ValueText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string format(float value, int precision) {
  char text[16] = {};
  float2string2(value, precision, text);
  return text;
}

template <typename Converter>
std::string convert(Converter converter, float value) {
  char text[16] = {};
  converter(value, text);
  return text;
}

TEST(Float2String2, RoundsHalfAwayFromZeroWithinEightCharacters) {
  const struct {
    float value;
    int precision;
    const char* expected;
  } cases[] = {
      {1.26f, 1, "1.3"},
      {5.25f, 1, "5.3"},
      {1.005f, 2, "1.01"},
      {0.125f, 2, "0.13"},
      {12.345f, 2, "12.35"},
      {-12.345f, 2, "-12.35"},
      {0.5f, 0, "1"},
      {-2.5f, 0, "-3"},
      {-0.3f, 0, "-0"},
      {-0.001f, 2, "-0.00"},
      {1000.0f, 0, "1000"},
      {7.0f, 3, "7.000"},
      {123456.7f, 2, "123456.7"},
      {3.14159f, -1, "3.141590"},
      {1234567.0f, 1, "1234567."},
      {12345678.0f, 0, "2345678"},
      {0.0f, 2, "0.00"},
      {-20.0f, 2, "-20.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(format(c.value, c.precision), c.expected) << c.value << " @" << c.precision;
}

TEST(Float2String2, ReportsNumbersBeyondTheBudget) {
  EXPECT_EQ(format(1e9f, 0), "Huge!");
  EXPECT_EQ(format(-1e8f, 0), "Huge!");
  EXPECT_EQ(format(-9999999.0f, 0), "-999999");  // six digits fit beside the sign
}

TEST(ValueConverters, ChooseUnitAndPrecisionBySize) {
  char text[16];
  dB2string2(2.0f, 0, text);
  EXPECT_STREQ(text, "6dB");
  dB2string2(2.0f, 2, text);
  EXPECT_STREQ(text, "6.00dB");
  dB2string2(10.0f, 0, text);
  EXPECT_STREQ(text, "20dB");
  dB2string2(10.0f, 2, text);
  EXPECT_STREQ(text, "19.93dB");
  dB2string2(1.0f, 0, text);
  EXPECT_STREQ(text, "0dB");
  dB2string2(0.0f, 0, text);
  EXPECT_STREQ(text, "-oodB");
  dB2string2(-3.0f, 2, text);
  EXPECT_STREQ(text, "-oodB");

  const struct {
    float hz;
    const char* expected;
  } frequencies[] = {{0.1f, "0.100Hz"},  {50, "50Hz"},      {999.4f, "999Hz"},  {999.6f, "1000Hz"},
                     {1000, "1.00kHz"},  {2500, "2.50kHz"}, {9999, "10.00kHz"}, {12500, "12.5kHz"},
                     {20000, "20.0kHz"}, {0.5f, "0.50Hz"},  {5.0f, "5.0Hz"}};
  for (const auto& c : frequencies) EXPECT_EQ(convert(frequencyStringConvert2, c.hz), c.expected);

  const struct {
    float ms;
    const char* expected;
  } times[] = {{0.25f, "0.25ms"}, {2.5f, "2.5ms"},   {250, "250ms"},   {999.7f, "1000ms"},
               {1500, "1.50s"},   {0.00001f, "0ms"}, {1.043f, "1.0ms"}};
  for (const auto& c : times) EXPECT_EQ(convert(msStringConvert, c.ms), c.expected);

  EXPECT_EQ(convert(smpStringConvert, 64.9f), "64smps");
  EXPECT_EQ(convert(smpStringConvert, 0.5f), "0smps");
  EXPECT_EQ(convert(smpStringConvert, -3.0f), "0smps");
}

TEST(ValueConverters, NeverExceedTheirBuffers) {
  // Twelve bytes for the converters with units, sixteen for the sample count.
  const float extremes[] = {-1e30f, -9999999.5f, -0.0049f, 0.0f, 1e-30f, 99999999.0f, 3e38f};
  for (float x : extremes) {
    char text[32];
    float2string2(x, 2, text);
    EXPECT_LE(std::string(text).size(), 8u) << x;
    for (int precision = -3; precision <= 9; ++precision) {
      float2string2(x, precision, text);
      EXPECT_LE(std::string(text).size(), 8u) << x << " @" << precision;
    }
    frequencyStringConvert2(x, text);
    EXPECT_LE(std::string(text).size(), 11u);
    msStringConvert(x, text);
    EXPECT_LE(std::string(text).size(), 11u);
    dB2string2(x, 2, text);
    EXPECT_LE(std::string(text).size(), 11u);
    smpStringConvert(x, text);
    EXPECT_LE(std::string(text).size(), 15u);
  }
}

}  // namespace
