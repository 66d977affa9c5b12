// Kernels whose lanes run across consecutive frames of one channel (see Lanes.h for how
// per-path sources include this). Each frame's arithmetic is the one-sample-at-a-time
// description's, in the same order; only different frames share a register.
#pragma once

namespace {

// The interpolator: for input i (history[i], older ones below) the sum over the 32 odd
// distances, k = 0, 2, ..., 62 in order from 0.0, of (two inputs) * taps[k]; the pair for
// k = 0 is the input itself and the one before, that for k = 2j the inputs j - 64 and
// -1 - j away. The other output is the input 32 back times the centre tap, plus 0.0.
template <int W, int C>
void interpolateChannels(const double* const* history, const double* taps, double* const* out,
                         int n) {
  using L = Lanes<W>;
  using V = typename L::V;
  // Registers of a channel summed side by side (eight sums at most where registers are few).
  constexpr int kBlock = W == 4 ? 4 : 4 / C;
  for (int i0 = 0; i0 < n; i0 += kBlock * W) {
    V acc[C][kBlock];
    const V first = L::splat(taps[0]);
#pragma GCC unroll 8
    for (int k = 0; k < C * kBlock; ++k) {
      const double* h = history[k / kBlock] + i0 + k % kBlock * W;
      acc[k / kBlock][k % kBlock] = V{} + (L::load(h) + L::load(h - 1)) * first;
    }
    for (int j = 1; j < 32; ++j) {
      const V c = L::splat(taps[2 * j]);
#pragma GCC unroll 8
      for (int k = 0; k < C * kBlock; ++k) {
        const double* h = history[k / kBlock] + i0 + k % kBlock * W;
        V& a = acc[k / kBlock][k % kBlock];
        a = a + (L::load(h - 64 + j) + L::load(h - 1 - j)) * c;
      }
    }
    const V centre = L::splat(taps[63]);
#pragma GCC unroll 8
    for (int k = 0; k < C * kBlock; ++k) {
      const int i = i0 + k % kBlock * W;
      const V held = centre * L::load(history[k / kBlock] + i - 32) + V{};
      double* o = out[k / kBlock] + 2 * i;
      L::store(o, L::interleaveLow(acc[k / kBlock][k % kBlock], held));
      L::store(o + W, L::interleaveHigh(acc[k / kBlock][k % kBlock], held));
    }
  }
}

// Both channels' sums run side by side, so that more of them overlap.
template <int W>
requires(W <= 4) void interpolate(const double* const* history, int channels, const double* taps,
                                  double* const* out, int n) {
  if (channels == 2) {
    interpolateChannels<W, 2>(history, taps, out, n);
  } else {
    interpolateChannels<W, 1>(history, taps, out, n);
  }
}

// Gain, look-ahead delay and (with saturation) the windowed peak and soft clip.
template <int W>
void outputStage(const OutputLanes& lanes) {
  using L = Lanes<W>;
  using V = typename L::V;
  const OutputLanes p = lanes;  // stores below cannot change it
  // The caller's samples end at frames: a last register's worth past it is read as zeros and
  // not written back.
  auto read = [&](int i) {
    if (i + W <= p.frames) return L::load(p.samples + i);
    V v{};
    for (int l = 0; l < p.frames - i; ++l) v[l] = p.samples[i + l];
    return v;
  };
  auto write = [&](int i, V v) {
    if (i + W <= p.frames) return L::store(p.samples + i, v);
    for (int l = 0; l < p.frames - i; ++l) p.samples[i + l] = v[l];
  };
  const V gain = L::splat(p.gain);
  for (int i = 0; i < p.frames; i += W) {
    const V a = gain * read(i);
    L::store(p.delay + i, a);
    if (p.saturate) L::store(p.magnitude + i, L::abs(a));
  }
  if (!p.saturate) {
    for (int i = 0; i < p.frames; i += W) write(i, L::load(p.delay + i - p.half));
    return;
  }
  // K registers of frames are weighed side by side, sharing each weight's broadcast; the
  // last may lie past the frames given (computed, not written).
  constexpr int K = 2;
  for (int i = 0; i < p.frames; i += K * W) {
    // The largest of 0 and every weighted magnitude: the same whatever the order, so two
    // running maxima per register share the window, and weights that cannot raise it can be
    // left out.
    const double* m = p.magnitude + i - (p.length - 1);
    V peaks[K][2] = {};
    auto weigh = [&](int from, int to) {
      int j = from;
      for (; j + 1 < to; j += 2) {
#pragma GCC unroll 2
        for (int a = 0; a < 2; ++a) {
          const V w = L::splatPair(p.weights + 2 * (j + a));
#pragma GCC unroll 2
          for (int k = 0; k < K; ++k)
            peaks[k][a] = L::max(w * L::load(m + j + a + k * W), peaks[k][a]);
        }
      }
      for (; j < to; ++j) {
        const V w = L::splatPair(p.weights + 2 * j);
#pragma GCC unroll 2
        for (int k = 0; k < K; ++k) peaks[k][0] = L::max(w * L::load(m + j + k * W), peaks[k][0]);
      }
    };
    weigh(p.centreBegin, p.centreEnd);
    if (p.centreBegin > 0) {
      // No weighted magnitude on the sides is above the largest weight there times the
      // largest magnitude any lane meets there (rounding keeps that order).
      bool sidesMayRaise = false;
#pragma GCC unroll 2
      for (int k = 0; k < K; ++k) {
        V largest{};
        for (int q = k * W; q < p.centreBegin + (k + 1) * W - 1; q += W)
          largest = L::max(L::load(m + q), largest);
        for (int q = p.centreEnd + k * W; q < p.length + (k + 1) * W - 1; q += W)
          largest = L::max(L::load(m + q), largest);
        const V peak = L::max(peaks[k][0], peaks[k][1]);
        sidesMayRaise |= !(p.sideWeight * L::largest(largest) <= L::smallest(peak));
      }
      if (sidesMayRaise) {
        weigh(0, p.centreBegin);
        weigh(p.centreEnd, p.length);
      }
    }
#pragma GCC unroll 2
    for (int k = 0; k < K; ++k) {
      if (i + k * W >= p.frames) break;
      const V peak = L::max(peaks[k][0], peaks[k][1]);
      // peak - 0.15 peak^3 up to the knee, a hard ceiling beyond (rarely needed, so the
      // division only when it is), as a gain.
      const typename L::M soft = peak < OutputStage::kKnee;
      V clip = 1.0 - 0.15 * (peak * peak);
      if (!L::all(soft)) clip = L::select(soft, clip, OutputStage::kCeiling / peak);
      write(i + k * W, clip * L::load(p.delay + i + k * W - p.half));
    }
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
  return ((peak < a) | (a != a)) ? a : peak;
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
