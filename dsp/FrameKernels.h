// Kernels whose lanes run across consecutive frames of one channel (see Lanes.h for how
// per-path sources include this). Each frame's arithmetic is the one-sample-at-a-time
// description's, in the same order; only different frames share a register.
#pragma once

namespace {

// The interpolator: for input i (history[i], older ones below) the sum over the 32 odd
// distances, k = 0, 2, ..., 62 in order from 0.0, of (two inputs) * taps[k]; the pair for
// k = 0 is the input itself and the one before, that for k = 2j the inputs j - 64 and
// -1 - j away. The other output is the input 32 back times the centre tap, plus 0.0.
template <int W>
void interpolate(const double* history, const double* taps, double* out, int n) {
  using L = Lanes<W>;
  using V = typename L::V;
  constexpr int kBlock = W == 8 ? 2 : 4;  // registers summed side by side
  for (int i0 = 0; i0 < n; i0 += kBlock * W) {
    V acc[kBlock];
    const V first = L::splat(taps[0]);
#pragma GCC unroll 4
    for (int b = 0; b < kBlock; ++b) {
      const double* h = history + i0 + b * W;
      acc[b] = V{} + (L::load(h) + L::load(h - 1)) * first;
    }
    for (int j = 1; j < 32; ++j) {
      const V c = L::splat(taps[2 * j]);
#pragma GCC unroll 4
      for (int b = 0; b < kBlock; ++b) {
        const double* h = history + i0 + b * W;
        acc[b] = acc[b] + (L::load(h - 64 + j) + L::load(h - 1 - j)) * c;
      }
    }
    const V centre = L::splat(taps[63]);
#pragma GCC unroll 4
    for (int b = 0; b < kBlock; ++b) {
      const int i = i0 + b * W;
      const V held = centre * L::load(history + i - 32) + V{};
      L::store(out + 2 * i, L::interleaveLow(acc[b], held));
      L::store(out + 2 * i + W, L::interleaveHigh(acc[b], held));
    }
  }
}

// Gain, look-ahead delay and (with saturation) the windowed peak and soft clip.
template <int W>
void outputStage(const OutputLanes& lanes) {
  using L = Lanes<W>;
  using V = typename L::V;
  const OutputLanes p = lanes;  // stores below cannot change it
  const V gain = L::splat(p.gain);
  for (int i = 0; i < p.frames; i += W) {
    const V a = gain * L::load(p.samples + i);
    L::store(p.delay + i, a);
    if (p.saturate) L::store(p.magnitude + i, L::abs(a));
  }
  for (int i = 0; i < p.frames; i += W) {
    V out = L::load(p.delay + i - p.half);
    if (p.saturate) {
      // The largest of 0 and every weighted magnitude: the same whatever the order, so four
      // running maxima share the window.
      const double* m = p.magnitude + i - (p.length - 1);
      V peaks[4] = {};
      int j = 0;
      for (; j + 3 < p.length; j += 4) {
#pragma GCC unroll 4
        for (int a = 0; a < 4; ++a) {
          peaks[a] = L::max(L::splatPair(p.weights + 2 * (j + a)) * L::load(m + j + a), peaks[a]);
        }
      }
      for (; j < p.length; ++j) {
        peaks[0] = L::max(L::splatPair(p.weights + 2 * j) * L::load(m + j), peaks[0]);
      }
      const V peak = L::max(L::max(peaks[0], peaks[1]), L::max(peaks[2], peaks[3]));
      // peak - 0.15 peak^3 up to the knee, a hard ceiling beyond (rarely needed, so the
      // division only when it is), as a gain.
      const typename L::M soft = peak < OutputStage::kKnee;
      V clip = 1.0 - 0.15 * (peak * peak);
      if (!L::all(soft)) clip = L::select(soft, clip, OutputStage::kCeiling / peak);
      out = clip * out;
    }
    L::store(p.samples + i, out);
  }
}

template <class Sample>
double finiteOrZero(Sample x) {
  const double d = x;
  return d - d == 0.0 ? d : 0.0;
}

template <int W, class Sample>
void readSamples(const Sample* in, double* out, int n) {
  using L = Lanes<W>;
  using V = typename L::V;
  int i = 0;
  for (; i + W <= n; i += W) {
    V d;
    if constexpr (sizeof(Sample) == sizeof(float)) {
      typename L::F f;
      __builtin_memcpy(&f, in + i, sizeof f);
      d = __builtin_convertvector(f, V);
    } else {
      d = L::load(in + i);
    }
    L::store(out + i, L::select(d - d == V{}, d, V{}));
  }
  for (; i < n; ++i) out[i] = finiteOrZero(in[i]);
}

// The larger of peak and a magnitude; a magnitude that is not a number takes over and stays.
inline double raisePeak(double peak, double a) { return peak < a || a != a ? a : peak; }
template <class V>
V raisePeak(V peak, V a) {
  return (peak < a) | (a != a) ? a : peak;
}

template <int W, class Sample>
void writeSamples(const double* in, Sample* out, int n, double& peak) {
  using L = Lanes<W>;
  using V = typename L::V;
  V lanePeak = L::splat(peak);
  int i = 0;
  for (; i + W <= n; i += W) {
    const V d = L::load(in + i);
    if constexpr (sizeof(Sample) == sizeof(float)) {
      const typename L::F f = __builtin_convertvector(d, typename L::F);
      __builtin_memcpy(out + i, &f, sizeof f);
    } else {
      L::store(out + i, d);
    }
    lanePeak = raisePeak(lanePeak, L::abs(d));
  }
  if constexpr (W >= 8) lanePeak = raisePeak(lanePeak, L::template rotate<4>(lanePeak));
  if constexpr (W >= 4) lanePeak = raisePeak(lanePeak, L::template rotate<2>(lanePeak));
  peak = raisePeak(peak, raisePeak(lanePeak[0], lanePeak[1]));
  for (; i < n; ++i) {
    out[i] = static_cast<Sample>(in[i]);
    peak = raisePeak(peak, __builtin_fabs(in[i]));
  }
}

}  // namespace
