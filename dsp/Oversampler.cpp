#include "dsp/Oversampler.h"

#include <cmath>

namespace {

constexpr int kMask = Oversampler::kRingSize - 1;
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFourPi = 12.566370614359172;

}  // namespace

Oversampler::Oversampler() { initUpsDec(); }

void Oversampler::initUpsDec() {
  for (int n = 0; n < 64; ++n) {
    // 128 in the sinc's scale but 127 inside its sine: the table's gain of 2 and its
    // exact centre value depend on both.
    const double sinc = n == 0 ? 0.5 : std::sin(0.5 * kPi * n) / (128.0 * std::sin(kPi * n / 127.0));
    // The window is summed in the order 0.42 + 0.5 cos + 0.08 cos: only this order gives
    // the centre tap 0.9999999999999999 and the outer taps bit for bit (0.08 cos + 0.42
    // + 0.5 cos rounds the centre up to 1.0 and moves the end taps in the last digits).
    const double window = 0.42 + 0.5 * std::cos(kTwoPi * n / 127.0) + 0.08 * std::cos(kFourPi * n / 127.0);
    double c = window * sinc;
    if (std::fabs(c) < 1e-16) c = 0.0;  // the half-band's even distances
    upCoeffs[kCentre + n] = 2.0 * c;
    upCoeffs[kCentre - n] = 2.0 * c;
  }
  upCoeffs[kTaps] = 0.0;
}

void Oversampler::reset() {
  for (int i = 0; i < kRingSize; ++i) upRingL[i] = upRingR[i] = 0.0;
  upPos = kRingSize - 1;
}

// The 32 odd-distance tap pairs around the centre 65 entries back. The pair for k = 0
// reads the newest entry with the one two places older: the ring has 128 entries, not
// 129, so the oldest tap wraps onto the newest sample.
inline double Oversampler::interpolate(const double* ring) const {
  double acc = 0.0;
  for (int k = 0; k <= 62; k += 2) {
    acc = acc + (ring[(upPos - k) & kMask] + ring[(upPos + 2 + k) & kMask]) * upCoeffs[k];
  }
  return acc;
}

void Oversampler::upsample(double* work, int n) {
  // The doubled output overwrites inputs not yet read, so they are taken out first.
  double input[kMaxFrames];
  if (n > kMaxFrames) n = kMaxFrames;
  for (int i = 0; i < n; ++i) input[i] = work[i];
  for (int i = 0; i < n; ++i) {
    upRingL[upPos] = input[i];
    const double acc = interpolate(upRingL);
    upPos = (upPos - 1) & kMask;
    work[2 * i] = acc;
    upRingL[upPos] = 0.0;
    work[2 * i + 1] = upCoeffs[kCentre] * upRingL[(upPos + 65) & kMask] + 0.0;
    upPos = (upPos - 1) & kMask;
  }
}

void Oversampler::upsample(double* workL, double* workR, int n) {
  double inputL[kMaxFrames];
  double inputR[kMaxFrames];
  if (n > kMaxFrames) n = kMaxFrames;
  for (int i = 0; i < n; ++i) {
    inputL[i] = workL[i];
    inputR[i] = workR[i];
  }
  for (int i = 0; i < n; ++i) {
    upRingL[upPos] = inputL[i];
    upRingR[upPos] = inputR[i];
    const double accL = interpolate(upRingL);
    const double accR = interpolate(upRingR);
    upPos = (upPos - 1) & kMask;
    workL[2 * i] = accL;
    workR[2 * i] = accR;
    upRingL[upPos] = 0.0;
    upRingR[upPos] = 0.0;
    workL[2 * i + 1] = upCoeffs[kCentre] * upRingL[(upPos + 65) & kMask] + 0.0;
    workR[2 * i + 1] = upCoeffs[kCentre] * upRingR[(upPos + 65) & kMask] + 0.0;
    upPos = (upPos - 1) & kMask;
  }
}

void Oversampler::downsample(const double* work, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = work[2 * i + 1];
}

void Oversampler::delay(double* work, int n) {
  for (int i = 0; i < n; ++i) {
    const double x = work[i];
    upRingL[upPos] = x;
    upPos = (upPos - 1) & kMask;
    upRingL[upPos] = x;
    work[i] = upRingL[(upPos + 65) & kMask];
    upPos = (upPos - 1) & kMask;
  }
}

void Oversampler::delay(double* workL, double* workR, int n) {
  for (int i = 0; i < n; ++i) {
    const double xl = workL[i];
    const double xr = workR[i];
    upRingL[upPos] = xl;
    upRingR[upPos] = xr;
    upPos = (upPos - 1) & kMask;
    upRingL[upPos] = xl;
    upRingR[upPos] = xr;
    workL[i] = upRingL[(upPos + 65) & kMask];
    workR[i] = upRingR[(upPos + 65) & kMask];
    upPos = (upPos - 1) & kMask;
  }
}
