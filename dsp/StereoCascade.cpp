#include "dsp/StereoCascade.h"

#include <emmintrin.h>

#include <initializer_list>

namespace {

// Five coefficient pairs per frame, in the order the recursion uses them.
enum { kB0 = 0, kB1 = 2, kB2 = 4, kA1 = 6, kA2 = 8, kStreamStride = 10 };
static_assert(kB0 == 2 * Filter::kStreamB0 && kB1 == 2 * Filter::kStreamB1 &&
              kB2 == 2 * Filter::kStreamB2 && kA1 == 2 * Filter::kStreamA1 &&
              kA2 == 2 * Filter::kStreamA2);

inline void packCoeffs(double* out, const Filter::Coeffs& l, const Filter::Coeffs& r) {
  out[kB0] = l.b0, out[kB0 + 1] = r.b0;
  out[kB1] = l.b1, out[kB1 + 1] = r.b1;
  out[kB2] = l.b2, out[kB2 + 1] = r.b2;
  out[kA1] = l.a1, out[kA1 + 1] = r.a1;
  out[kA2] = l.a2, out[kA2 + 1] = r.a2;
}

// Both channels in one SIMD register.
struct BothLanes {
  using V = __m128d;
  static V load(const double* p) { return _mm_loadu_pd(p); }
  static void store(double* p, V v) { _mm_storeu_pd(p, v); }
  static V mul(V a, V b) { return _mm_mul_pd(a, b); }
  static V add(V a, V b) { return _mm_add_pd(a, b); }
  static V sub(V a, V b) { return _mm_sub_pd(a, b); }
  static V splat(double v) { return _mm_set1_pd(v); }
  static V gather(const double& l, const double& r) { return _mm_set_pd(r, l); }
  static void scatter(V v, double& l, double& r) {
    _mm_storel_pd(&l, v);
    _mm_storeh_pd(&r, v);
  }
};

// One channel: the other lane of every frame and coefficient pair is left alone.
struct OneLane {
  using V = double;
  static V load(const double* p) { return *p; }
  static void store(double* p, V v) { *p = v; }
  static V mul(V a, V b) { return a * b; }
  static V add(V a, V b) { return a + b; }
  static V sub(V a, V b) { return a - b; }
  static V splat(double v) { return v; }
};

// G sections as one pipeline: section g filters frame t - g while section 0 takes frame
// t. Per section and channel the arithmetic is exactly processFrame's:
// ((((b0 x0 + b1 x1) + b2 x2) - a1 y1) - a2 y2), then +1e-30 -1e-30.
template <int G, class L>
struct Pipeline {
  using V = typename L::V;
  V x1[G], x2[G], y1[G], y2[G], carry[G];
  const double* coeffs[G];
  int stride[G];

  __attribute__((always_inline)) inline V tick(int g, int n, V x0) {
    const double* c = coeffs[g] + n * stride[g];
    const V tiny = L::splat(1e-30);
    V y = L::mul(L::load(c + kB0), x0);
    y = L::add(y, L::mul(L::load(c + kB1), x1[g]));
    y = L::add(y, L::mul(L::load(c + kB2), x2[g]));
    y = L::sub(y, L::mul(L::load(c + kA1), y1[g]));
    y = L::sub(y, L::mul(L::load(c + kA2), y2[g]));
    y = L::sub(L::add(y, tiny), tiny);
    x2[g] = x1[g];
    x1[g] = x0;
    y2[g] = y1[g];
    y1[g] = y;
    return y;
  }

  // Section 0 reads the block, the last writes it back, the others hand on through
  // carry (read before it is overwritten, as g runs downwards).
  __attribute__((always_inline)) inline void tickAt(int g, int t, double* frames) {
    const int n = t - g;
    const V in = g == 0 ? L::load(frames + 2 * n) : carry[g - 1];
    const V out = tick(g, n, in);
    if (g == G - 1) {
      L::store(frames + 2 * n, out);
    } else {
      carry[g] = out;
    }
  }

  void run(double* frames, int count) {
    for (int t = 0; t < count + G - 1; ++t) {
      if (t >= G - 1 && t < count) {
#pragma GCC unroll 8
        for (int g = G - 1; g >= 0; --g) tickAt(g, t, frames);
      } else {
#pragma GCC unroll 8
        for (int g = G - 1; g >= 0; --g) {
          if (t - g >= 0 && t - g < count) tickAt(g, t, frames);
        }
      }
    }
  }
};

}  // namespace

void StereoCascade::prepare(Filter* l, Filter* r, int slot, int frames) {
  const Filter::Coeffs& identity = kUnused;
  if ((!l || l->rampRemaining == 0) && (!r || r->rampRemaining == 0)) {
    packCoeffs(steadyBuffer[slot], l ? l->destCoeffs : identity, r ? r->destCoeffs : identity);
    if (l) l->currCoeffs = l->destCoeffs;
    if (r) r->currCoeffs = r->destCoeffs;
    streams[slot] = {steadyBuffer[slot], 0};
    return;
  }
  // A glide does not depend on the signal, so its steps can all be taken up front.
  double* out = streamBuffer[slot];
  if (l) l->fillCoeffStream(out, frames, kStreamStride);  // a lane not run is never read
  if (r) r->fillCoeffStream(out + 1, frames, kStreamStride);
  streams[slot] = {out, kStreamStride};
}

template <int G>
void StereoCascade::runPipeline(Filter* const* left, Filter* const* right, double* lr, int frames) {
  if (left[0] && right[0]) {
    Pipeline<G, BothLanes> p;
    for (int g = 0; g < G; ++g) {
      p.x1[g] = BothLanes::gather(left[g]->x1, right[g]->x1);
      p.x2[g] = BothLanes::gather(left[g]->x2, right[g]->x2);
      p.y1[g] = BothLanes::gather(left[g]->y1, right[g]->y1);
      p.y2[g] = BothLanes::gather(left[g]->y2, right[g]->y2);
      p.carry[g] = BothLanes::splat(0.0);
      p.coeffs[g] = streams[g].coeffs;
      p.stride[g] = streams[g].stride;
    }
    p.run(lr, frames);
    for (int g = 0; g < G; ++g) {
      BothLanes::scatter(p.x1[g], left[g]->x1, right[g]->x1);
      BothLanes::scatter(p.x2[g], left[g]->x2, right[g]->x2);
      BothLanes::scatter(p.y1[g], left[g]->y1, right[g]->y1);
      BothLanes::scatter(p.y2[g], left[g]->y2, right[g]->y2);
    }
  } else {
    const int lane = left[0] ? 0 : 1;
    Filter* const* side = left[0] ? left : right;
    Pipeline<G, OneLane> p;
    for (int g = 0; g < G; ++g) {
      p.x1[g] = side[g]->x1;
      p.x2[g] = side[g]->x2;
      p.y1[g] = side[g]->y1;
      p.y2[g] = side[g]->y2;
      p.carry[g] = 0.0;
      p.coeffs[g] = streams[g].coeffs + lane;
      p.stride[g] = streams[g].stride;
    }
    p.run(lr + lane, frames);
    for (int g = 0; g < G; ++g) {
      side[g]->x1 = p.x1[g];
      side[g]->x2 = p.x2[g];
      side[g]->y1 = p.y1[g];
      side[g]->y2 = p.y2[g];
    }
  }
  for (int g = 0; g < G; ++g) {
    for (Filter* f : {left[g], right[g]}) {
      if (!f) continue;
      f->x0 = f->x1;  // the last input and output of the block
      f->y0 = f->y1;
    }
  }
}

void StereoCascade::flush(double* lr, int frames) {
  switch (grouped) {
    case 1:
      runPipeline<1>(groupL, groupR, lr, frames);
      break;
    case 2:
      runPipeline<2>(groupL, groupR, lr, frames);
      break;
    case 3:
      runPipeline<3>(groupL, groupR, lr, frames);
      break;
    case 4:
      runPipeline<4>(groupL, groupR, lr, frames);
      break;
    case 5:
      runPipeline<5>(groupL, groupR, lr, frames);
      break;
    case 6:
      runPipeline<6>(groupL, groupR, lr, frames);
      break;
    case 7:
      runPipeline<7>(groupL, groupR, lr, frames);
      break;
    case 8:
      runPipeline<8>(groupL, groupR, lr, frames);
      break;
    default:
      break;
  }
  grouped = 0;
}

void StereoCascade::run(Filter* const* left, Filter* const* right, int sections, double* lr,
                        int frames, bool runLeft, bool runRight) {
  if (sections > kMaxSections) sections = kMaxSections;
  const bool pipelined = frames >= 1 && frames <= kMaxFrames;
  grouped = 0;
  for (int i = 0; i < sections; ++i) {
    // processFrame's once-per-call test, made here for every section before any filtering:
    // it depends only on the section's own state. A section that passes the samples
    // untouched simply drops out of the pipeline.
    Filter* l = runLeft && !left[i]->bypassed() ? left[i] : nullptr;
    Filter* r = runRight && !right[i]->bypassed() ? right[i] : nullptr;
    if (!l && !r) continue;
    // A pipeline runs either both channels or only the one whose chain runs; a section
    // active in one channel of a stereo pass (settings that drifted apart) runs alone.
    const bool fits = runLeft && runRight ? l && r : true;
    if (pipelined && fits) {
      prepare(l, r, grouped, frames);
      groupL[grouped] = l;
      groupR[grouped] = r;
      ++grouped;
      continue;
    }
    flush(lr, frames);
    if (l) l->processFrame(lr, frames, 2);
    if (r) r->processFrame(lr + 1, frames, 2);
  }
  flush(lr, frames);
}
