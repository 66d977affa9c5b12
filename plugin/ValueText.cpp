#include "plugin/ValueText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kTextBudget = 8;

// Truncation to a 32-bit integer as the x86 conversion instruction does it: values that do not
// fit (and NaN) give INT32_MIN instead of undefined behaviour.
std::int32_t truncToInt32(double x) {
  if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;
  return static_cast<std::int32_t>(x);
}

int digitOf(double x) { return static_cast<int>(std::fmod(x, 10.0)); }

void appendUnit(char* text, const char* unit) { std::strcat(text, unit); }

}  // namespace

void float2string2(float value, int precision, char* text) {
  double v = value;
  if (std::isnan(v)) {
    std::strcpy(text, "NaN");
    return;
  }
  const double m = v * std::pow(10.0, precision);
  const double f = m - truncToInt32(m);
  if (f >= 0.49999)
    v = (m + 1.0) * std::pow(0.1, precision);
  else if (f <= -0.49999)
    v = (m - 1.0) * std::pow(0.1, precision);

  bool negative = false;
  int count = 2;  // the point and the first integer digit
  if (v >= 0.0) {
    if (v > 99999999.0) {
      std::strcpy(text, "Huge!");
      return;
    }
  } else {
    v = -v;
    negative = true;
    count = 3;
    if (v > 9999999.0) {
      std::strcpy(text, "Huge!");
      return;
    }
  }

  // Integer digits, right to left; the division is not floored, so each fmod sees the
  // remaining digits with a fraction behind them.
  char integer[kTextBudget + 1];
  int start = kTextBudget;
  double integ = std::floor(v);
  integer[--start] = static_cast<char>('0' + digitOf(integ));
  integ /= 10.0;
  while (integ >= 1.0 && count < kTextBudget) {
    integer[--start] = static_cast<char>('0' + digitOf(integ));
    integ /= 10.0;
    ++count;
  }

  char* out = text;
  if (negative) *out++ = '-';
  const int integerDigits = kTextBudget - start;
  std::memcpy(out, integer + start, static_cast<size_t>(integerDigits));
  out += integerDigits;
  *out++ = '.';

  const int fractionDigits = kTextBudget - count;
  if (fractionDigits > 0) {
    double r = std::fmod(v, 1.0) * std::pow(10.0, fractionDigits);
    for (int i = fractionDigits - 1; i >= 0; --i) {
      out[i] = static_cast<char>('0' + (r <= 0.0 ? 0 : digitOf(r)));
      r /= 10.0;
    }
    out += fractionDigits;
  }
  *out = 0;

  char* point = std::strchr(text, '.');
  if (precision == 0) {
    *point = 0;
  } else if (precision > 0 && static_cast<int>(std::strlen(point + 1)) >= precision) {
    point[1 + precision] = 0;
  }
}

void dB2string2(float gain, int precision, char* text) {
  if (gain <= 0.0f) {
    std::strcpy(text, "-oodB");
    return;
  }
  float d = static_cast<float>(6.0 * std::log10(static_cast<double>(gain)));
  d = static_cast<float>(d / std::log10(2.0));
  float2string2(d, precision, text);
  appendUnit(text, "dB");
}

void frequencyStringConvert2(float hz, char* text) {
  if (static_cast<double>(hz) < 0.2) {
    float2string2(hz, 3, text);
  } else if (hz < 1.0f) {
    float2string2(hz, 2, text);
  } else if (hz < 10.0f) {
    float2string2(hz, 1, text);
  } else if (hz < 1000.0f) {
    float2string2(hz, 0, text);
  } else {
    const auto khz = static_cast<float>(static_cast<double>(hz) * 0.001);
    float2string2(khz, hz < 10000.0f ? 2 : 1, text);
    appendUnit(text, "kHz");
    return;
  }
  appendUnit(text, "Hz");
}

void msStringConvert(float ms, char* text) {
  if (static_cast<double>(ms) < 0.0001) {
    std::strcpy(text, "0ms");
    return;
  }
  if (ms < 1.0f) {
    float2string2(ms, 2, text);
  } else if (ms < 10.0f) {
    float2string2(ms, 1, text);
  } else if (ms < 1000.0f) {
    float2string2(ms, 0, text);
  } else {
    float2string2(static_cast<float>(static_cast<double>(ms) * 0.001), 2, text);
    appendUnit(text, "s");
    return;
  }
  appendUnit(text, "ms");
}

void smpStringConvert(float samples, char* text) {
  if (!(samples >= 1.0f)) {
    std::strcpy(text, "0smps");
    return;
  }
  std::snprintf(text, 16, "%dsmps", truncToInt32(samples));
}
