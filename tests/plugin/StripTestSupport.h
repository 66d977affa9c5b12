#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "plugin/ChannelStrip.h"

// Settings and signals shared by the strip's tests.
namespace strip_test {

inline StripSettings allBandsOn() {
  StripSettings s;
  s.satOn = 1;
  s.hpfOn = 1;
  s.hpfFreq = 60.0;
  s.lfOn = 1;
  s.lfDipOn = 1;
  s.lfFreq = 103.0;
  s.lfGain = 4.0;
  s.lmOn = 1;
  s.lmFreq = 289.0;
  s.lmGain = 3.5;
  s.hmOn = 1;
  s.hmFreq = 1860.0;
  s.hmGain = -2.0;
  s.hfOn = 1;
  s.hfDipOn = 1;
  s.hfFreq = 4640.0;
  s.hfPosition = 0.5;
  s.hfGain = 2.5;
  return s;
}

inline StripSettings transparent() {
  StripSettings s = allBandsOn();
  s.eqOn = 0;
  s.satOn = 0;
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

// Runs a whole signal through the strip in blocks of the given sizes (repeated).
template <typename Sample>
void run(ChannelStrip& strip, const StripSettings& s, std::vector<Sample>& l,
         std::vector<Sample>& r, ChannelStrip::Routing routing, const std::vector<int>& blocks) {
  const int total = static_cast<int>(l.size());
  int pos = 0;
  for (std::size_t b = 0; pos < total; ++b) {
    int n = blocks[b % blocks.size()];
    if (n > total - pos) n = total - pos;
    const Sample* in[2] = {l.data() + pos, r.data() + pos};
    Sample* out[2] = {l.data() + pos, r.data() + pos};
    strip.process(in, out, n, routing, s, noHook());
    pos += n;
  }
}

}  // namespace strip_test
