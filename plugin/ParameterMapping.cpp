#include "plugin/ParameterMapping.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>

#include "plugin/ValueText.h"

const double kHighPassFrequencies[41] = {20,  21,  22,  23.5, 25,  27,  30.5, 34,  38,  42,  47,
                                         54,  60,  68,  77,   88,  100, 112,  124, 130, 140, 160,
                                         180, 200, 220, 245,  272, 295, 320,  350, 380, 440, 480,
                                         520, 570, 610, 654,  700, 740, 775,  800};
const double kLowFrequencies[11] = {30, 35, 43, 63, 103, 150, 210, 240, 350, 368, 410};
const double kLowMidFrequencies[11] = {75, 85, 111, 160, 289, 428, 610, 768, 966, 1190, 1550};
const double kHighMidFrequencies[11] = {420,  458,  635,  1125, 1860, 2760,
                                        3750, 5150, 6150, 7500, 9700};
const double kHighFrequencies[11] = {1480, 1550, 1650,  2160,  2960, 4640,
                                     6360, 8890, 12100, 15800, 20000};

namespace {

constexpr const char* kNames[kNumParameters] = {
    "EQ all", "LSR",    "",    "",       "",      "",       "OUTput", "SAT",    "HPF", "HPFfreq",
    "",       "",       "LF",  "LFfreq", "LFdip", "LFgain", "LMF",    "LMfreq", "LMQ", "LMgain",
    "HMF",    "HMfreq", "HMQ", "HMgain", "HF",    "HFfreq", "HFdip",  "HFgain", "",    "",
    "",       "",       "",    "",       "",      "",       "",       "",       "",    ""};

// trunc(v + 0.5); a stray value beyond an int's range saturates instead of converting
// undefinedly (either way the switch is on).
int switchOf(double v) {
  const double t = std::trunc(v + 0.5);
  if (t >= 2147483647.0) return INT_MAX;
  if (t <= -2147483648.0) return INT_MIN;
  return static_cast<int>(t);
}

double gainDb(double v, double steps, double range) {
  const double n = std::trunc(steps * v);
  return (2.0 * n / steps - 1.0) * range;
}

double stepFrequencyOf(int index, double position) {
  const FrequencyTable table = frequencyTableOf(index);
  return transformDiscreetPos2Freq(table.steps, table.count, position);
}

double qOf(double v) {
  if (v < 0.25) return 0.67;
  if (v < 0.75) return 1.4142;
  return 2.5;
}

}  // namespace

double transformDiscreetPos2Freq(const double* table, int count, double position) {
  if (!(position >= 0.0)) position = 0.0;  // NaN lands on the first step too
  if (position > 1.0) position = 1.0;
  const int i = static_cast<int>((count - 1) * position + 0.5);
  if (i >= count - 1) return table[count - 1];
  if (i < 0) return table[0];
  return table[i];
}

bool isDummyParameter(int index) {
  switch (index) {
    case kEqAll:
    case kLsr:
    case kOutput:
    case kSat:
    case kHpf:
    case kHpfFreq:
      return false;
    default:
      return !(index >= kLf && index <= kHfGain);
  }
}

unsigned changeBitOfParameter(int index) {
  switch (index) {
    case kEqAll:
    case kLsr:
    case kOutput:
    case kSat:
      return kEngineValuesChanged;
    case kHpf:
    case kHpfFreq:
      return kBandLowCut;
    case kLf:
    case kLfFreq:
    case kLfDip:
    case kLfGain:
      return kBandLowShelf;
    case kLmf:
    case kLmFreq:
    case kLmQ:
    case kLmGain:
      return kBandLowMid;
    case kHmf:
    case kHmFreq:
    case kHmQ:
    case kHmGain:
      return kBandMid;
    case kHf:
    case kHfFreq:
    case kHfDip:
    case kHfGain:
      return kBandHighShelf;
    default:
      return 0;
  }
}

void applyParameter(StripSettings& s, int index, float value) {
  const double v = value;
  switch (index) {
    case kEqAll:
      s.eqOn = v >= 0.5 ? 1 : 0;
      break;
    case kLsr:
      s.processLeft = v < 0.75 ? 1 : 0;
      s.processRight = v >= 0.25 ? 1 : 0;
      break;
    case kOutput:
      s.outGain = std::pow(2.0, gainDbOf(index, value) / 6.0);
      break;
    case kSat:
      s.satOn = v >= 0.5 ? 1 : 0;
      break;
    case kHpf:
      s.hpfOn = switchOf(v);
      break;
    case kHpfFreq:
      s.hpfFreq = stepFrequencyOf(index, v);
      break;
    case kLf:
      s.lfOn = switchOf(v);
      break;
    case kLfFreq:
      s.lfFreq = stepFrequencyOf(index, v);
      break;
    case kLfDip:
      s.lfDipOn = switchOf(v);
      break;
    case kLfGain:
      s.lfGain = gainDbOf(index, value);
      break;
    case kLmf:
      s.lmOn = switchOf(v);
      break;
    case kLmFreq:
      s.lmFreq = stepFrequencyOf(index, v);
      break;
    case kLmQ:
      s.lmQ = qOf(v);
      break;
    case kLmGain:
      s.lmGain = gainDbOf(index, value);
      break;
    case kHmf:
      s.hmOn = switchOf(v);
      break;
    case kHmFreq:
      s.hmFreq = stepFrequencyOf(index, v);
      break;
    case kHmQ:
      s.hmQ = qOf(v);
      break;
    case kHmGain:
      s.hmGain = gainDbOf(index, value);
      break;
    case kHf:
      s.hfOn = switchOf(v);
      break;
    case kHfFreq:
      s.hfFreq = stepFrequencyOf(index, v);
      s.hfPosition = v;
      break;
    case kHfDip:
      s.hfDipOn = switchOf(v);
      break;
    case kHfGain:
      s.hfGain = gainDbOf(index, value);
      break;
    default:
      break;
  }
}

StripSettings deriveSettings(const float* values) {
  StripSettings s;
  for (int i = 0; i < kNumParameters; ++i) applyParameter(s, i, values[i]);
  return s;
}

const char* parameterName(int index) {
  return index >= 0 && index < kNumParameters ? kNames[index] : "";
}

void parameterDisplay(int index, float value, const StripSettings& s, char* text) {
  auto onOff = [&](int flag) { std::strcpy(text, flag == 1 ? "On   " : "Off  "); };
  auto gain = [&](double dB) {
    float2string2(static_cast<float>(dB), 2, text);
    std::strcat(text, "dB");
  };
  auto q = [&] { std::strcpy(text, value < 0.25f ? "0.7" : value < 0.75f ? "2.0" : "4.0"); };
  switch (index) {
    case kEqAll:
      onOff(s.eqOn);
      break;
    case kLsr:
      std::strcpy(text, value < 0.25f ? "Left" : value < 0.75f ? "Stereo" : "Right");
      break;
    case kOutput:
      dB2string2(static_cast<float>(s.outGain), 0, text);
      break;
    case kSat:
      std::strcpy(text, s.satOn ? "Sat" : "Thru");
      break;
    case kHpf:
      onOff(s.hpfOn);
      break;
    case kHpfFreq:
      frequencyStringConvert2(static_cast<float>(s.hpfFreq), text);
      break;
    case kLf:
      onOff(s.lfOn);
      break;
    case kLfFreq:
      frequencyStringConvert2(static_cast<float>(s.lfFreq), text);
      break;
    case kLfDip:
      onOff(s.lfDipOn);
      break;
    case kLfGain:
      gain(s.lfGain);
      break;
    case kLmf:
      onOff(s.lmOn);
      break;
    case kLmFreq:
      frequencyStringConvert2(static_cast<float>(s.lmFreq), text);
      break;
    case kLmQ:
      q();
      break;
    case kLmGain:
      gain(s.lmGain);
      break;
    case kHmf:
      onOff(s.hmOn);
      break;
    case kHmFreq:
      frequencyStringConvert2(static_cast<float>(s.hmFreq), text);
      break;
    case kHmQ:
      q();
      break;
    case kHmGain:
      gain(s.hmGain);
      break;
    case kHf:
      onOff(s.hfOn);
      break;
    case kHfFreq:
      frequencyStringConvert2(static_cast<float>(s.hfFreq), text);
      break;
    case kHfDip:
      onOff(s.hfDipOn);
      break;
    case kHfGain:
      gain(s.hfGain);
      break;
    default:
      text[0] = 0;
      break;
  }
}

bool parameterProperties(int index, VstParameterProperties* p) {
  switch (index) {
    case kEqAll:
    case kLsr:
    case kSat:
    case kHpf:
    case kLf:
    case kLfDip:
    case kLmf:
    case kHmf:
    case kHf:
    case kHfDip:
    case 35:
    case 36:
    case 39:
      break;
    default:
      return false;
  }
  // Hosts do not all clear the structure; fields we do not set read as zero.
  std::memset(p, 0, sizeof(*p));
  std::strncpy(p->label, parameterName(index), kVstMaxLabelLen - 1);
  std::strncpy(p->shortLabel, parameterName(index), 7);
  p->flags = kVstParameterIsSwitch | kVstParameterUsesFloatStep;
  p->stepFloat = p->smallStepFloat = p->largeStepFloat = 1.0f;
  return true;
}

GainScale gainScaleOf(int index) {
  switch (index) {
    case kOutput:
      return {80, 20.0};
    case kLfGain:
    case kHfGain:
      return {160, 20.0};
    case kLmGain:
    case kHmGain:
      return {112, 14.0};
    default:
      return {0, 0.0};
  }
}

double gainDbOf(int index, float value) {
  const GainScale scale = gainScaleOf(index);
  if (scale.steps == 0) return 0.0;
  return gainDb(value, scale.steps, scale.rangeDb);
}

FrequencyTable frequencyTableOf(int index) {
  switch (index) {
    case kHpfFreq:
      return {kHighPassFrequencies, static_cast<int>(std::size(kHighPassFrequencies))};
    case kLfFreq:
      return {kLowFrequencies, static_cast<int>(std::size(kLowFrequencies))};
    case kLmFreq:
      return {kLowMidFrequencies, static_cast<int>(std::size(kLowMidFrequencies))};
    case kHmFreq:
      return {kHighMidFrequencies, static_cast<int>(std::size(kHighMidFrequencies))};
    case kHfFreq:
      return {kHighFrequencies, static_cast<int>(std::size(kHighFrequencies))};
    default:
      return {nullptr, 0};
  }
}
