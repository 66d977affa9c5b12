#include "DemoSignal.h"

#include <cmath>
#include <random>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Two seconds of a logarithmic sweep, 30 Hz to 16 kHz, at -12 dBFS, drifting across the image.
void addSweep(std::vector<double>& out, int rate, long first, long count) {
  const double f0 = 30.0, f1 = 16000.0, seconds = static_cast<double>(count) / rate;
  const double k = std::log(f1 / f0);
  for (long i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double phase = kTwoPi * f0 * seconds / k * (std::exp(k * t / seconds) - 1.0);
    const double v = 0.25 * std::sin(phase);
    const double pan = t / seconds;
    out[2 * (first + i)] += v * (1.0 - 0.5 * pan);
    out[2 * (first + i) + 1] += v * (0.5 + 0.5 * pan);
  }
}

// Two seconds of noise in swelling bursts, different in each channel.
void addNoise(std::vector<double>& out, int rate, long first, long count, std::mt19937& rng) {
  std::uniform_real_distribution<double> d(-1.0, 1.0);
  double lowL = 0.0, lowR = 0.0;
  for (long i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double envelope = 0.15 * (0.5 - 0.5 * std::cos(kTwoPi * 2.0 * t));
    lowL += 0.05 * (d(rng) - lowL);  // a darker left channel
    lowR = d(rng);
    out[2 * (first + i)] += envelope * 3.0 * lowL;
    out[2 * (first + i) + 1] += envelope * lowR;
  }
}

// Two seconds of a drum pattern: kick on the beat, snare between, hats on eighths.
void addDrums(std::vector<double>& out, int rate, long first, long count, std::mt19937& rng) {
  std::uniform_real_distribution<double> d(-1.0, 1.0);
  const long beat = rate / 4;  // 120 bpm in eighths
  double hatPrevious = 0.0;
  for (long i = 0; i < count; ++i) {
    const long step = i / beat, inStep = i % beat;
    const double t = static_cast<double>(inStep) / rate;
    double l = 0.0, r = 0.0;
    if (step % 4 == 0) {  // kick: a falling sine with a fast decay
      const double phase = kTwoPi * (50.0 * t + 2.5 * (1.0 - std::exp(-t * 40.0)));
      l += 0.7 * std::sin(phase) * std::exp(-t * 12.0);
      r = l;
    }
    if (step % 4 == 2) {  // snare: a tone and a noise burst
      const double body = 0.3 * std::sin(kTwoPi * 185.0 * t) * std::exp(-t * 30.0);
      const double rattle = 0.35 * d(rng) * std::exp(-t * 18.0);
      l += body + rattle;
      r += body + 0.8 * rattle;
    }
    const double noise = d(rng);
    const double hat =
        0.12 * (noise - hatPrevious) * std::exp(-t * 90.0);  // a click of bright noise
    hatPrevious = noise;
    l += 0.7 * hat;
    r += hat;
    out[2 * (first + i)] += l;
    out[2 * (first + i) + 1] += r;
  }
}

}  // namespace

std::vector<double> makeDemoSignal(int rate) {
  const long third = static_cast<long>(rate * kDemoSeconds / 3.0);
  std::vector<double> out(static_cast<std::size_t>(6 * third), 0.0);
  std::mt19937 rng(1234);
  addSweep(out, rate, 0, third);
  addNoise(out, rate, third, third, rng);
  addDrums(out, rate, 2 * third, third, rng);
  return out;
}
