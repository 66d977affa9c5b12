// The section pipeline for registers of W lanes (see Lanes.h for how per-path sources
// include this; they also say how many vector registers the path has). Per lane the
// arithmetic is exactly Filter::processFrame's:
// ((((b0 x0 + b1 x1) + b2 x2) - a1 y1) - a2 y2), then +1e-30 -1e-30.
#pragma once

namespace {

// G sections of C channels placed as CascadeLayout says. At every step each register takes
// the previous register's outputs of the step before (of two steps before with a stagger of
// 2), lane for lane; the first register takes the chunk's next frame and the last register's
// outputs of two steps before, moved up one slot. Within a step no lane waits for another.
template <CascadeShape S, int G, int C, bool Exact>
class Pipeline {
  static constexpr int W = S.width;
  using L = Lanes<W>;
  using V = typename L::V;
  using M = typename L::M;
  static constexpr CascadeLayout kLayout{S, C, G};
  static constexpr int R = kLayout.registers;  // per set
  static constexpr int kDepth = kLayout.depth();
  // Where the registers run short, x2 (read once a step, off the recursion's path) lives in
  // memory.
  static constexpr bool kX2InMemory = 4 * R + 6 > kVectorRegisters;

  enum Phase { kFill, kMain, kDrain, kShort };

  static constexpr int kSlots = W / C;
  static constexpr bool used(int r, int m) { return r + m * R < G; }
  static constexpr int offset(int r, int m) { return kLayout.offset(r + m * R); }
  // Whether slot m of register r has a frame at step E of the filling (the E-th step) or of
  // the draining (the step E after the last frame); always in between.
  template <Phase P, int E>
  static constexpr bool moves(int r, int m) {
    return P == kFill ? E >= offset(r, m) : P == kDrain ? offset(r, m) > E : true;
  }
  template <Phase P, int E>
  static constexpr bool anyMoves(int r) {
    for (int m = 0; m < kSlots; ++m) {
      if (used(r, m) && moves<P, E>(r, m)) return true;
    }
    return false;
  }
  template <Phase P, int E>
  static constexpr bool allMove(int r) {
    for (int m = 0; m < kSlots; ++m) {
      if (used(r, m) && !moves<P, E>(r, m)) return false;
    }
    return true;
  }
  // Whether slot m of register r takes its input from two steps before: then, on its last
  // frame, it finds it in y1, not y2, as the section before it has stopped.
  static constexpr bool takesY2(int r, int m) {
    return used(r, m) && (r == 0 ? m > 0 : S.stagger == 2);
  }
  template <Phase P, int E>
  static constexpr bool endsNow(int r, int m) {
    return P == kDrain && takesY2(r, m) && offset(r, m) == E + 1;
  }
  template <Phase P, int E>
  static constexpr bool anyEndsNow(int r) {
    for (int m = 0; m < kSlots; ++m) {
      if (endsNow<P, E>(r, m)) return true;
    }
    return false;
  }

 public:
  __attribute__((always_inline)) explicit Pipeline(CascadeLanes& lanes) : p(lanes) {
#pragma GCC unroll 16
    for (int k = 0; k < R; ++k) {
      x1[k] = L::load(p.x1 + k * W);
      if constexpr (!kX2InMemory) x2[k] = L::load(p.x2 + k * W);
      y1[k] = L::load(p.y1 + k * W);
      y2[k] = L::load(p.y2 + k * W);
    }
  }

  // False, with nothing stored but x2 where it lives in memory, when a pass that leaves
  // out the flush met a value the flush could have changed.
  __attribute__((always_inline)) bool run() {
    const int frames = p.frames;
    if (frames < kDepth) {
      for (int t = 0; t < frames + kDepth; ++t) step<kShort, 0>(t);
    } else {
      fill<0>();
      for (int t = kDepth; t < frames; ++t) step<kMain, 0>(t);
      drain<0>(frames);
    }
    if constexpr (!Exact) {
      for (int l = 0; l < W; ++l) {
        if (small[l]) return false;
      }
    }
#pragma GCC unroll 16
    for (int k = 0; k < R; ++k) {
      L::store(p.x1 + k * W, x1[k]);
      if constexpr (!kX2InMemory) L::store(p.x2 + k * W, x2[k]);
      L::store(p.y1 + k * W, y1[k]);
      L::store(p.y2 + k * W, y2[k]);
    }
    return true;
  }

 private:
  template <int E>
  __attribute__((always_inline)) void fill() {
    if constexpr (E < kDepth) {
      step<kFill, E>(E);
      fill<E + 1>();
    }
  }
  template <int E>
  __attribute__((always_inline)) void drain(int frames) {
    if constexpr (E < kDepth) {
      step<kDrain, E>(frames + E);
      drain<E + 1>(frames);
    }
  }

  static M usedLanes(int r) {
    M on;
    for (int l = 0; l < W; ++l) on[l] = used(r, l / C) ? -1 : 0;
    return on;
  }
  // The step of each lane's section's first frame (far away for padding).
  static M offsets(int r) {
    M d;
    for (int l = 0; l < W; ++l) d[l] = used(r, l / C) ? offset(r, l / C) : 1 << 20;
    return d;
  }
  // Lanes that move on at step t, or whose section takes its last frame from y1.
  template <Phase P, int E>
  __attribute__((always_inline)) M movingLanes(int r, int t) const {
    M on;
    if constexpr (P == kShort) {
      const M since = (M{} + t) - offsets(r);
      on = (since >= M{}) & (since < M{} + p.frames);
    } else {
      for (int l = 0; l < W; ++l) on[l] = moves<P, E>(r, l / C) ? -1 : 0;
    }
    return on;
  }
  static M takingY2(int r) {
    M on;
    for (int l = 0; l < W; ++l) on[l] = takesY2(r, l / C) ? -1 : 0;
    return on;
  }
  template <Phase P, int E>
  __attribute__((always_inline)) M endingLanes(int r, int t) const {
    M on;
    if constexpr (P == kShort) {
      on = ((M{} + t) - offsets(r) == M{} + (p.frames - 1)) & takingY2(r);
    } else {
      for (int l = 0; l < W; ++l) on[l] = endsNow<P, E>(r, l / C) ? -1 : 0;
    }
    return on;
  }

  template <Phase P, int E>
  __attribute__((always_inline)) void step(int t) {
    const bool fresh = P == kFill || P == kMain || (P == kShort && t < p.frames);
    // A section's last frame after the chunk's: some section may take it now.
    const bool mayEnd = P == kShort && t >= p.frames;
    const V tiny = L::splat(1e-30);
    V in{};
    if (fresh) {
      in[0] = p.planes[0][t];
      if constexpr (C == 2) in[1] = p.planes[1][t];
    }
    V x[R];
    x[0] = L::template feed<C>(in, y2[R - 1]);
    if (anyEndsNow<P, E>(0) || mayEnd) {
      x[0] = L::select(endingLanes<P, E>(0, t), L::template feed<C>(in, y1[R - 1]), x[0]);
    }
#pragma GCC unroll 8
    for (int r = 1; r < R; ++r) {
      if constexpr (S.stagger == 2) {
        x[r] = y2[r - 1];
        if (anyEndsNow<P, E>(r) || mayEnd) {
          x[r] = L::select(endingLanes<P, E>(r, t), y1[r - 1], x[r]);
        }
      } else {
        x[r] = y1[r - 1];
      }
    }
#pragma GCC unroll 8
    for (int r = 0; r < R; ++r) {
      if (P != kShort && !anyMoves<P, E>(r)) continue;
      const double* c = p.coeffs[r] + t * p.stride[r];
      const V past = kX2InMemory ? L::load(p.x2 + r * W) : x2[r];
      V v = L::load(c) * x[r];
      v = v + L::load(c + W) * x1[r];
      v = v + L::load(c + 2 * W) * past;
      v = v - L::load(c + 3 * W) * y1[r];
      v = v - L::load(c + 4 * W) * y2[r];
      V y = v;
      // Adding and removing 1e-30 leaves every value of magnitude 2^-45 or more (and every
      // infinity and NaN) exactly as it is (the largest it moves is 2^-46); a pass that
      // leaves it out watches for smaller ones.
      if constexpr (Exact) y = (v + tiny) - tiny;
      const M tooSmall = L::abs(y) < L::splat(0x1p-45);
      V newX2 = x1[r];
      if (P != kShort && allMove<P, E>(r)) {
        if constexpr (!Exact) small |= tooSmall & usedLanes(r);
        x1[r] = x[r];
        y2[r] = y1[r];
        y1[r] = y;
      } else {
        const M on = movingLanes<P, E>(r, t);
        if constexpr (!Exact) small |= tooSmall & on & usedLanes(r);
        newX2 = L::select(on, x1[r], past);
        x1[r] = L::select(on, x[r], x1[r]);
        y2[r] = L::select(on, y1[r], y2[r]);
        y1[r] = L::select(on, y, y1[r]);
      }
      if constexpr (kX2InMemory) {
        L::store(p.x2 + r * W, newX2);
      } else {
        x2[r] = newX2;
      }
    }
    constexpr int kLastRegister = (G - 1) % R, kLastLane = (G - 1) / R * C;
    if ((P == kShort && t >= kDepth) ||
        (P != kShort && moves<P, E>(kLastRegister, kLastLane / C))) {
      p.planes[0][t - kDepth] = y1[kLastRegister][kLastLane];
      if constexpr (C == 2) p.planes[1][t - kDepth] = y1[kLastRegister][kLastLane + 1];
    }
  }

  CascadeLanes& p;
  V x1[R], x2[R], y1[R], y2[R];
  M small{};  // lanes that met a value the flush could have changed
};

// Only where the registers have room for watching the outputs is leaving out the flush
// worth it (S.triesWithoutFlush).
template <CascadeShape S, int G, int C>
bool cascadePass(CascadeLanes& lanes) {
  if (!S.triesWithoutFlush || lanes.exact) return Pipeline<S, G, C, true>(lanes).run();
  return Pipeline<S, G, C, false>(lanes).run();
}

}  // namespace
