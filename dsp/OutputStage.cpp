#include "dsp/OutputStage.h"

#include <emmintrin.h>

#include <cmath>
#include <cstring>

OutputStage::OutputStage() { configure(44100.0); }

void OutputStage::configure(double rate) {
  if (!(rate >= 1500.0 && rate <= 1.5e6)) rate = 44100.0;  // keeps the conversion defined
  int n = static_cast<int>(rate / 1500.0);
  if (n % 2 == 0) ++n;  // odd, so the window has a centre sample
  lookAheadLength = n;
  // 3.1415 and 0.7071 exactly, not pi and 1/sqrt(2): the saturation's measured limits
  // (0.85 for a full-scale sine, under 1.4 % below 0.3) depend on this exact window.
  std::memset(peakWindow, 0, sizeof peakWindow);
  std::memset(pairedWindow, 0, sizeof pairedWindow);
  for (int k = 0; k < n; ++k) {
    peakWindow[k] = std::pow(0.5 + 0.5 * std::cos(2 * (k - n / 2) * 3.1415 / n), 0.7071);
  }
  for (int j = 0; j < n; ++j) pairedWindow[j][0] = pairedWindow[j][1] = peakWindow[n - 1 - j];
}

void OutputStage::clear() {
  std::memset(delay, 0, sizeof delay);
  std::memset(magnitude, 0, sizeof magnitude);
  delayPos = kLineMask;
}

// The largest of 0 and weight k times the magnitude k samples back, k = 0..N-1, for both
// channels. The products are the same in any order and so is their maximum, so two
// weights are taken at a time, in two running maxima.
static inline __m128d windowPeak(const double* mag, const double* weights, int n) {
  __m128d p0 = _mm_setzero_pd();
  __m128d p1 = _mm_setzero_pd();
  int j = 0;
  for (; j + 1 < n; j += 2) {
    p0 = _mm_max_pd(_mm_mul_pd(_mm_load_pd(weights + 2 * j), _mm_loadu_pd(mag + 2 * j)), p0);
    p1 =
        _mm_max_pd(_mm_mul_pd(_mm_load_pd(weights + 2 * j + 2), _mm_loadu_pd(mag + 2 * j + 2)), p1);
  }
  if (j < n)
    p0 = _mm_max_pd(_mm_mul_pd(_mm_load_pd(weights + 2 * j), _mm_loadu_pd(mag + 2 * j)), p0);
  return _mm_max_pd(p0, p1);
}

// The soft clip peak - 0.15 peak^3 up to the knee, a hard ceiling beyond, as a gain.
static inline __m128d clipGain(__m128d peak) {
  const __m128d soft =
      _mm_sub_pd(_mm_set1_pd(1.0), _mm_mul_pd(_mm_set1_pd(0.15), _mm_mul_pd(peak, peak)));
  const __m128d hard = _mm_div_pd(_mm_set1_pd(OutputStage::kCeiling), peak);
  const __m128d below = _mm_cmplt_pd(peak, _mm_set1_pd(OutputStage::kKnee));
  return _mm_or_pd(_mm_and_pd(below, soft), _mm_andnot_pd(below, hard));
}

void OutputStage::process(double* lr, int n, double g, bool satOn, bool bothChannels) {
  const int half = lookAheadLength / 2;
  const __m128d gain = _mm_set1_pd(g);
  const __m128d sign = _mm_set1_pd(-0.0);
  for (int i = 0; i < n; ++i) {
    const int w = delayPos;
    const int r = (w - half) & kLineMask;
    if (bothChannels) {
      const __m128d a = _mm_mul_pd(gain, _mm_loadu_pd(lr + 2 * i));
      _mm_store_pd(delay[w], a);
      __m128d out = _mm_load_pd(delay[r]);
      if (satOn) {
        const __m128d m = _mm_andnot_pd(sign, a);
        _mm_store_pd(magnitude[w], m);
        _mm_store_pd(magnitude[w + kLineLength], m);
        const __m128d peak = windowPeak(magnitude[w + kLineLength - (lookAheadLength - 1)],
                                        pairedWindow[0], lookAheadLength);
        out = _mm_mul_pd(clipGain(peak), out);
      }
      _mm_storeu_pd(lr + 2 * i, out);
    } else {
      // Only the left lane: the right lines keep what a stereo block left in them.
      const double a = g * lr[2 * i];
      delay[w][0] = a;
      double out = delay[r][0];
      if (satOn) {
        magnitude[w][0] = magnitude[w + kLineLength][0] = std::fabs(a);
        const __m128d peak = windowPeak(magnitude[w + kLineLength - (lookAheadLength - 1)],
                                        pairedWindow[0], lookAheadLength);
        out = _mm_cvtsd_f64(clipGain(peak)) * out;
      }
      lr[2 * i] = out;
    }
    delayPos = (w + 1) & kLineMask;
  }
}
