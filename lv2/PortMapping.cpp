#include "lv2/PortMapping.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "plugin/StripSettings.h"

namespace lv2port {

namespace {

constexpr float kRingHundredths = 100.f;
constexpr int kChoicePositions = 3;

// The internal values one parameter's normalised value gives, everything else at rest.
StripSettings settingsOf(int parameter, float normalised) {
  StripSettings s;
  applyParameter(s, parameter, normalised);
  return s;
}

// The nearest step of a frequency table to a frequency in Hz.
int nearestStep(const FrequencyTable& table, double hz) {
  int best = 0;
  for (int i = 1; i < table.count; ++i)
    if (std::fabs(table.steps[i] - hz) < std::fabs(table.steps[best] - hz)) best = i;
  return best;
}

// The ring's position in hundredths, as the shortest decimal that reads back as exactly this
// position: 0.3f shows as 30, not as the 30.000002 its binary value times 100 would round to.
float ringHundredths(float position) {
  const double exact = static_cast<double>(position) * kRingHundredths;
  double scale = 1.0;
  for (int decimals = 0; decimals <= 6; ++decimals, scale *= 10.0) {
    const auto shorter = static_cast<float>(std::nearbyint(exact * scale) / scale);
    if (shorter / kRingHundredths == position) return shorter;
  }
  return static_cast<float>(exact);
}

int clampedRound(double value, int last) {
  if (!(value > 0.0)) return 0;
  if (value >= last) return last;
  return static_cast<int>(std::lround(value));
}

}  // namespace

const std::array<int, kControlCount> kParameters = [] {
  std::array<int, kControlCount> parameters{};
  int port = 0;
  for (int index = 0; index < kNumParameters && port < kControlCount; ++index)
    if (!isDummyParameter(index)) parameters[port++] = index;
  return parameters;
}();

Kind kindOf(int parameter) {
  if (gainScaleOf(parameter).steps > 0) return Kind::Gain;
  if (parameter == kHfFreq) return Kind::RingPosition;
  if (frequencyTableOf(parameter).count > 0) return Kind::Frequency;
  if (parameter == kLsr || parameter == kLmQ || parameter == kHmQ) return Kind::Choice;
  return Kind::Switch;
}

std::uint32_t portOf(int parameter) {
  for (int k = 0; k < kControlCount; ++k)
    if (kParameters[k] == parameter) return kFirstControl + static_cast<std::uint32_t>(k);
  return kCount;
}

int parameterOf(std::uint32_t port) {
  if (port < kFirstControl || port >= kLatency) return -1;
  return kParameters[port - kFirstControl];
}

int candidateCount(int parameter) {
  switch (kindOf(parameter)) {
    case Kind::Switch:
      return 2;
    case Kind::Choice:
      return kChoicePositions;
    case Kind::Gain:
      return gainScaleOf(parameter).steps + 1;
    case Kind::Frequency:
    case Kind::RingPosition:
      return frequencyTableOf(parameter).count;
  }
  return 0;
}

float candidate(int parameter, int k) {
  const int last = candidateCount(parameter) - 1;
  if (last <= 0) return 0.f;
  k = std::clamp(k, 0, last);
  // Gains: n / steps as the presets write it, moved up by an ulp where the float falls just
  // short of the step; the step is told by its middle, which no rounding can move out of it.
  // Everything else: k / last, the middle of its step.
  auto value = static_cast<float>(static_cast<double>(k) / last);
  if (kindOf(parameter) == Kind::Gain) {
    const float middle = k == last ? 1.f : static_cast<float>((k + 0.5) / last);
    const double step = gainDbOf(parameter, middle);
    while (gainDbOf(parameter, value) < step) value = std::nextafter(value, 2.f);
  }
  return value;
}

float portValueOf(int parameter, float normalised) {
  switch (kindOf(parameter)) {
    case Kind::Gain:
      return static_cast<float>(gainDbOf(parameter, normalised));
    case Kind::Frequency: {
      const FrequencyTable table = frequencyTableOf(parameter);
      return static_cast<float>(transformDiscreetPos2Freq(table.steps, table.count, normalised));
    }
    case Kind::RingPosition:
      return ringHundredths(normalised);
    case Kind::Switch:
    case Kind::Choice:
      break;
  }
  // The position whose internal values the value gives; a value that matches none (outside
  // 0..1) takes the nearest position.
  const StripSettings wanted = settingsOf(parameter, normalised);
  const int count = candidateCount(parameter);
  int nearest = 0;
  for (int k = 0; k < count; ++k) {
    if (settingsOf(parameter, candidate(parameter, k)) == wanted) return static_cast<float>(k);
    if (std::fabs(candidate(parameter, k) - normalised) <
        std::fabs(candidate(parameter, nearest) - normalised))
      nearest = k;
  }
  return static_cast<float>(nearest);
}

float normalisedOf(int parameter, float portValue) {
  const int last = candidateCount(parameter) - 1;
  switch (kindOf(parameter)) {
    case Kind::Gain: {
      const GainScale scale = gainScaleOf(parameter);
      return candidate(parameter,
                       clampedRound((portValue / scale.rangeDb + 1.0) * scale.steps / 2.0, last));
    }
    case Kind::Frequency:
      return candidate(parameter, nearestStep(frequencyTableOf(parameter), portValue));
    case Kind::RingPosition:
      if (!(portValue > 0.f)) return 0.f;
      return std::min(portValue, kRingHundredths) / kRingHundredths;
    case Kind::Switch:
    case Kind::Choice:
      break;
  }
  return candidate(parameter, clampedRound(portValue, last));
}

void symbolOf(int parameter, char (&symbol)[16]) {
  std::strncpy(symbol, parameterName(parameter), sizeof symbol - 1);
  symbol[sizeof symbol - 1] = 0;
  for (char* c = symbol; *c; ++c)
    if (!std::isalnum(static_cast<unsigned char>(*c))) *c = '_';
}

}  // namespace lv2port
