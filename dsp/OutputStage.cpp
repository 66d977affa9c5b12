#include "dsp/OutputStage.h"

#include <cmath>

OutputStage::OutputStage() { configure(44100.0); }

void OutputStage::configure(double rate) {
  if (!(rate >= 1500.0 && rate <= 1.5e6)) rate = 44100.0;  // keeps the conversion defined
  int n = static_cast<int>(rate / 1500.0);
  if (n % 2 == 0) ++n;  // odd, so the window has a centre sample
  lookAheadLength = n;
  // 3.1415 and 0.7071 as the product has always used them, not pi and 1/sqrt(2): the
  // saturation's measured limits depend on this exact window.
  for (int k = 0; k < n; ++k) {
    peakWindow[k] = std::pow(0.5 + 0.5 * std::cos(2 * (k - n / 2) * 3.1415 / n), 0.7071);
  }
  for (int k = n; k < kLineLength; ++k) peakWindow[k] = 0.0;
}

void OutputStage::clear() {
  for (int i = 0; i < kLineLength; ++i) delayL[i] = delayR[i] = magL[i] = magR[i] = 0.0;
  delayPos = kLineMask;
}

inline double OutputStage::saturate(const double* mag, double delayed, int pos) const {
  double peak = 0.0;
  for (int k = 0; k < lookAheadLength; ++k) {
    const double v = peakWindow[k] * mag[(pos - k) & kLineMask];
    peak = v > peak ? v : peak;
  }
  const double c = peak < kKnee ? 1.0 - 0.15 * (peak * peak) : kCeiling / peak;
  return c * delayed;
}

void OutputStage::process(double* left, int n, double g, bool satOn) {
  const int half = lookAheadLength / 2;
  for (int i = 0; i < n; ++i) {
    const int w = delayPos;
    const double a = g * left[i];
    delayL[w] = a;
    if (satOn) magL[w] = std::fabs(a);
    const double d = delayL[(w - half) & kLineMask];
    left[i] = satOn ? saturate(magL, d, w) : d;
    delayPos = (w + 1) & kLineMask;
  }
}

void OutputStage::process(double* left, double* right, int n, double g, bool satOn) {
  const int half = lookAheadLength / 2;
  for (int i = 0; i < n; ++i) {
    const int w = delayPos;
    const double a = g * left[i];
    const double b = g * right[i];
    delayL[w] = a;
    delayR[w] = b;
    if (satOn) {
      magL[w] = std::fabs(a);
      magR[w] = std::fabs(b);
    }
    const double dl = delayL[(w - half) & kLineMask];
    const double dr = delayR[(w - half) & kLineMask];
    left[i] = satOn ? saturate(magL, dl, w) : dl;
    right[i] = satOn ? saturate(magR, dr, w) : dr;
    delayPos = (w + 1) & kLineMask;
  }
}
