#include "dsp/Oversampler.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFourPi = 12.566370614359172;

// A chunk's worth of samples, in pairs: for copies this short a string move's start-up costs
// more than the copy.
void copySamples(double* to, const double* from, int n) {
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    double pair[2];
    __builtin_memcpy(pair, from + i, sizeof pair);
    __builtin_memcpy(to + i, pair, sizeof pair);
  }
  if (i < n) to[i] = from[i];
}

}  // namespace

Oversampler::Oversampler(const VectorKernels& k) : kernels(&k) { initUpsDec(); }

void Oversampler::initUpsDec() {
  for (int n = 0; n < 64; ++n) {
    // 128 in the sinc's scale but 127 inside its sine: the table's gain of 2 and its
    // exact centre value depend on both.
    const double sinc =
        n == 0 ? 0.5 : std::sin(0.5 * kPi * n) / (128.0 * std::sin(kPi * n / 127.0));
    // The window is summed in the order 0.42 + 0.5 cos + 0.08 cos: only this order gives
    // the centre tap 0.9999999999999999 and the outer taps bit for bit (0.08 cos + 0.42
    // + 0.5 cos rounds the centre up to 1.0 and moves the end taps in the last digits).
    const double window =
        0.42 + 0.5 * std::cos(kTwoPi * n / 127.0) + 0.08 * std::cos(kFourPi * n / 127.0);
    double c = window * sinc;
    if (std::fabs(c) < 1e-16) c = 0.0;  // the half-band's even distances
    upCoeffs[kCentre + n] = 2.0 * c;
    upCoeffs[kCentre - n] = 2.0 * c;
  }
  upCoeffs[kTaps] = 0.0;
}

void Oversampler::reset() {
  std::memset(history, 0, sizeof history);
  head = kRingInputs;
  upPos = kRingSize - 1;
}

void Oversampler::append(const double* left, const double* right, int n, bool bothChannels) {
  if (head + n > kHistoryInputs) {
    for (double* h : history) std::memmove(h, h + head - kRingInputs, sizeof(double) * kRingInputs);
    head = kRingInputs;
  }
  copySamples(history[0] + head, left, n);
  // The entry the ring would overwrite is the one 128 steps, 64 inputs, back.
  const double* right0 = bothChannels ? right : history[1] + head - kRingInputs;
  copySamples(history[1] + head, right0, n);
}

void Oversampler::upsample(double* left, double* right, int n, bool bothChannels) {
  if (n > kMaxFrames) n = kMaxFrames;
  if (n < 1) return;
  append(left, right, n, bothChannels);
  const double* newest[2] = {history[0] + head, history[1] + head};
  double* out[2] = {left, right};
  kernels->interpolate(newest, bothChannels ? 2 : 1, upCoeffs, out, n);
  head += n;
  upPos = (upPos - 2 * n) & (kRingSize - 1);
}

void Oversampler::downsample(double* samples, int n) {
  // Two at a time: every sample read lies past every one written so far.
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    const double pair[2] = {samples[2 * i + 1], samples[2 * i + 3]};
    __builtin_memcpy(samples + i, pair, sizeof pair);
  }
  if (i < n) samples[i] = samples[2 * i + 1];
}

void Oversampler::delay(double* left, double* right, int n, bool bothChannels) {
  if (n > kMaxFrames) n = kMaxFrames;
  if (n < 1) return;
  append(left, right, n, bothChannels);
  copySamples(left, history[0] + head - kDelayFrames, n);
  if (bothChannels) copySamples(right, history[1] + head - kDelayFrames, n);
  head += n;
  upPos = (upPos - 2 * n) & (kRingSize - 1);
}
