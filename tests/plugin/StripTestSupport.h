#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "plugin/ChannelStrip.h"
#include "plugin/FactoryPresets.h"
#include "plugin/ParameterMapping.h"

// Settings and signals shared by the strip's tests.
namespace strip_test {

// Every band on, with saturation: "Drum Group" with the high-pass added at 60 Hz.
inline StripSettings allBandsOn() {
  float values[kNumParameters];
  for (int i = 0; i < kNumParameters; ++i) values[i] = factoryPresetValue(1, i);
  values[kHpf] = 1.0f;
  values[kHpfFreq] = 0.3f;
  return deriveSettings(values);
}

inline StripSettings transparent() {
  StripSettings s = allBandsOn();
  s.eqOn = s.satOn = 0;
  return s;
}

template <typename Sample>
std::vector<Sample> noise(int n, unsigned seed, double amplitude = 0.5) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> d(-amplitude, amplitude);
  std::vector<Sample> v(n);
  for (Sample& x : v) x = static_cast<Sample>(d(rng));
  return v;
}

inline void prepare(ChannelStrip& strip, double rate, const StripSettings& s) {
  strip.suspend(s);
  strip.resume(rate, s);
}

inline auto noHook() {
  return [](ChannelStrip&) {};
}

// Runs whole signals through the strip in blocks of the given sizes (repeated), from the
// inputs to the outputs, which may be the same vectors.
template <typename Sample>
void run(ChannelStrip& strip, const StripSettings& s, const std::vector<Sample>& inL,
         const std::vector<Sample>& inR, std::vector<Sample>& outL, std::vector<Sample>& outR,
         ChannelStrip::Routing routing = {}, const std::vector<int>& blocks = {512}) {
  const int total = static_cast<int>(inL.size());
  for (int pos = 0, b = 0; pos < total; ++b) {
    const int n = std::min(blocks[b % blocks.size()], total - pos);
    const Sample* in[2] = {inL.data() + pos, inR.data() + pos};
    Sample* out[2] = {outL.data() + pos, outR.data() + pos};
    strip.process(in, out, n, routing, s, noHook());
    pos += n;
  }
}

}  // namespace strip_test
