#include "dsp/Oversampler.h"

#include <emmintrin.h>

#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFourPi = 12.566370614359172;
constexpr int kInterleave = 4;  // host samples whose sums run side by side

}  // namespace

Oversampler::Oversampler() { initUpsDec(); }

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
  head = kRingSize;
  upPos = kRingSize - 1;
}

void Oversampler::makeRoom(int entries) {
  if (head + entries <= kHistoryFrames) return;
  std::memmove(history, history[head - kRingSize], sizeof(double) * 2 * kRingSize);
  head = kRingSize;
}

inline void Oversampler::append(double left, double right, bool bothChannels) {
  history[head][0] = left;
  // The entry the ring would overwrite here is the one 128 steps back.
  history[head][1] = bothChannels ? right : history[head - kRingSize][1];
  ++head;
}

void Oversampler::upsample(double* lr, int n, bool bothChannels) {
  if (n > kMaxFrames) n = kMaxFrames;
  if (n < 1) return;
  makeRoom(2 * n);
  const int base = head;
  for (int i = 0; i < n; ++i) {
    append(lr[2 * i], lr[2 * i + 1], bothChannels);
    append(0.0, 0.0, bothChannels);  // the stuffed zero
  }
  upPos = (upPos - 2 * n) & (kRingSize - 1);

  // For the sample written at entry t, ring[pos - k] is entry t - 128 + k (k >= 2) and
  // ring[pos + 2 + k] is entry t - 2 - k. The pair for k = 0 reads the newest entry
  // itself: the ring has 128 entries, not 129, so the oldest tap wraps onto it.
  // Each sum runs k = 0, 2, ..., 62 in order from 0.0; only different samples interleave.
  const __m128d* h = reinterpret_cast<const __m128d*>(history);
  static_assert(kHistorySlack >= 2 * kInterleave, "lanes past the chunk read inside the buffer");
  const __m128d centre = _mm_set1_pd(upCoeffs[kCentre]);
  const __m128d zero = _mm_setzero_pd();
  for (int i0 = 0; i0 < n; i0 += kInterleave) {
    const int m = n - i0 < kInterleave ? n - i0 : kInterleave;
    __m128d acc[kInterleave];
    for (int j = 0; j < kInterleave; ++j) acc[j] = zero;
    // All lanes run even past the chunk's end (reading entries not yet meaningful, but
    // inside the buffer); only the first m are kept.
    for (int j = 0; j < kInterleave; ++j) {
      const int t = base + 2 * (i0 + j);
      acc[j] = _mm_add_pd(acc[j], _mm_mul_pd(_mm_add_pd(h[t], h[t - 2]), _mm_set1_pd(upCoeffs[0])));
    }
    for (int k = 2; k <= 62; k += 2) {
      const __m128d c = _mm_set1_pd(upCoeffs[k]);
      for (int j = 0; j < kInterleave; ++j) {
        const int t = base + 2 * (i0 + j);
        acc[j] = _mm_add_pd(acc[j], _mm_mul_pd(_mm_add_pd(h[t - kRingSize + k], h[t - 2 - k]), c));
      }
    }
    for (int j = 0; j < m; ++j) {
      const int i = i0 + j;
      const int t = base + 2 * i;
      _mm_storeu_pd(lr + 4 * i, acc[j]);
      // The zero was written at t + 1; the ring entry 65 after it is entry t - 64.
      _mm_storeu_pd(lr + 4 * i + 2, _mm_add_pd(_mm_mul_pd(centre, h[t - 64]), zero));
    }
  }
}

void Oversampler::downsample(double* lr, int n) {
  for (int i = 0; i < n; ++i) {
    lr[2 * i] = lr[4 * i + 2];
    lr[2 * i + 1] = lr[4 * i + 3];
  }
}

void Oversampler::delay(double* lr, int n, bool bothChannels) {
  if (n > kMaxFrames) n = kMaxFrames;
  if (n < 1) return;
  makeRoom(2 * n);
  for (int i = 0; i < n; ++i) {
    // Each input takes two entries, so 65 entries back is 32 host samples back.
    append(lr[2 * i], lr[2 * i + 1], bothChannels);
    append(lr[2 * i], lr[2 * i + 1], bothChannels);
    lr[2 * i] = history[head - 66][0];
    lr[2 * i + 1] = history[head - 66][1];
  }
  upPos = (upPos - 2 * n) & (kRingSize - 1);
}
