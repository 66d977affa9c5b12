// The section pipeline for registers of W lanes (see Lanes.h for how per-path sources
// include this). Per lane the arithmetic is exactly Filter::processFrame's:
// ((((b0 x0 + b1 x1) + b2 x2) - a1 y1) - a2 y2), then +1e-30 -1e-30.
#pragma once

namespace {

// G sections of C channels, one lane per section and channel. Section g works on frame
// t - S g at step t, taking what section g - 1 gave S steps earlier, so within a step no
// lane waits for another. Where a register holds more than one section, handing outputs on
// means moving them across lanes, one instruction that makes every lane of the next step
// wait for the whole register: the hand-over then gets two steps (S = 2), so that the time
// of a step stays that of a section's own recursion.
template <int W, int G, int C>
class Pipeline {
  using L = Lanes<W>;
  using V = typename L::V;
  using M = typename L::M;
  static constexpr int kLanes = G * C;
  static constexpr int kRegisters = (kLanes + W - 1) / W;
  static constexpr int kLast = (G - 1) * C;  // first lane of the last section
  static constexpr int S = CascadeLanes::skew(W, C);
  static constexpr int kDepth = S * (G - 1);  // steps from a frame's input to its output
  // With 16 registers, x2 (read once per step, off the recursion's path) lives in memory.
  static constexpr bool kX2InMemory = W < 8;

 public:
  __attribute__((always_inline)) explicit Pipeline(CascadeLanes& lanes) : p(lanes) {
#pragma GCC unroll 8
    for (int k = 0; k < kRegisters; ++k) {
      x1[k] = L::load(p.x1 + k * W);
      if constexpr (!kX2InMemory) x2[k] = L::load(p.x2 + k * W);
      y1[k] = L::load(p.y1 + k * W);
      y2[k] = L::load(p.y2 + k * W);
    }
  }

  __attribute__((always_inline)) void run() {
    const int frames = p.frames;
    if (frames < kDepth) {
      // Too short to fill the pipeline: which lanes move on is worked out per step.
      for (int t = 0; t < frames + kDepth; ++t) step<0, 0, -1, true>(t);
    } else {
      fill<0>();
      for (int t = kDepth; t < frames; ++t) step<0, kLanes, -1>(t);
      drain<0>(frames);
    }
#pragma GCC unroll 8
    for (int k = 0; k < kRegisters; ++k) {
      L::store(p.x1 + k * W, x1[k]);
      if constexpr (!kX2InMemory) L::store(p.x2 + k * W, x2[k]);
      L::store(p.y1 + k * W, y1[k]);
      L::store(p.y2 + k * W, y2[k]);
    }
  }

 private:
  // At step T of the filling only sections g with S g <= T have a frame; at step E of the
  // draining only those with S g > E, and with S = 2 the section on its last frame (S g =
  // E + 1) finds its input in y1, not y2, as the one before it has stopped.
  template <int T>
  __attribute__((always_inline)) void fill() {
    if constexpr (T < kDepth) {
      step<0, (T / S + 1) * C, -1>(T);
      fill<T + 1>();
    }
  }
  template <int E>
  __attribute__((always_inline)) void drain(int frames) {
    if constexpr (E < kDepth) {
      constexpr int kLastFrame = S == 2 && E % 2 == 1 ? (E + 1) / 2 * C : -1;
      step<(E / S + 1) * C, kLanes, kLastFrame>(frames + E);
      drain<E + 1>(frames);
    }
  }

  // One step for the sections in lanes [Lo, Hi), those from lane FromY1 (a whole section,
  // if any) taking their input from y1; all worked out at run time when Runtime.
  template <int Lo, int Hi, int FromY1, bool Runtime = false>
  __attribute__((always_inline)) void step(int t) {
    int lo = Lo, hi = Hi, fromY1 = FromY1;
    if constexpr (Runtime) {
      const int frames = p.frames;
      lo = (t < frames ? 0 : (t - frames) / S + 1) * C;
      hi = (t / S + 1 < G ? t / S + 1 : G) * C;
      fromY1 = S == 2 && t >= frames && (t - frames) % 2 == 1 ? (t - frames + 1) / 2 * C : -1;
    }
    V in{};
    if (lo == 0) {
      in[0] = p.planes[0][t];
      if constexpr (C == 2) in[1] = p.planes[1][t];
    }
    // What each section takes: the previous section's output of S steps ago.
    V x[kRegisters];
    x[0] = L::template feed<C>(in, handed(0));
#pragma GCC unroll 8
    for (int k = 1; k < kRegisters; ++k) x[k] = L::template shiftUp<C>(handed(k - 1), handed(k));
    if (fromY1 >= 0) {
#pragma GCC unroll 8
      for (int k = 0; k < kRegisters; ++k) {
        if (!Runtime && (FromY1 < k * W || FromY1 >= (k + 1) * W)) continue;
        const V shifted = k == 0 ? L::template feed<C>(in, y1[0])
                                 : L::template shiftUp<C>(y1[k > 0 ? k - 1 : 0], y1[k]);
        const M lane = L::lanes(k * W);
        x[k] = L::select((lane >= fromY1) & (lane < fromY1 + C), shifted, x[k]);
      }
    }
    const V tiny = L::splat(1e-30);
#pragma GCC unroll 8
    for (int k = 0; k < kRegisters; ++k) {
      const int used = (k + 1) * W < kLanes ? (k + 1) * W : kLanes;  // lanes past are padding
      if (!Runtime && (Hi <= k * W || Lo >= used)) continue;         // no section here moves on
      const double* c = p.coeffs[k] + t * p.stride[k];
      const V past = kX2InMemory ? L::load(p.x2 + k * W) : x2[k];
      V v = L::load(c) * x[k];
      v = v + L::load(c + W) * x1[k];
      v = v + L::load(c + 2 * W) * past;
      v = v - L::load(c + 3 * W) * y1[k];
      v = v - L::load(c + 4 * W) * y2[k];
      const V y = (v + tiny) - tiny;
      V newX2 = x1[k];
      if (!Runtime && Lo <= k * W && used <= Hi) {
        x1[k] = x[k];
        y2[k] = y1[k];
        y1[k] = y;
      } else {
        const M lane = L::lanes(k * W);
        const M on = (lane >= lo) & (lane < hi);
        newX2 = L::select(on, x1[k], past);
        x1[k] = L::select(on, x[k], x1[k]);
        y2[k] = L::select(on, y1[k], y2[k]);
        y1[k] = L::select(on, y, y1[k]);
      }
      if constexpr (kX2InMemory) {
        L::store(p.x2 + k * W, newX2);
      } else {
        x2[k] = newX2;
      }
    }
    if (hi == kLanes && t >= kDepth) {
      p.planes[0][t - kDepth] = y1[kLast / W][kLast % W];
      if constexpr (C == 2) p.planes[1][t - kDepth] = y1[kLast / W][kLast % W + 1];
    }
  }

  __attribute__((always_inline)) V handed(int k) const {
    if constexpr (S == 1) return y1[k];
    return y2[k];
  }

  CascadeLanes& p;
  V x1[kRegisters], x2[kRegisters], y1[kRegisters], y2[kRegisters];
};

template <int W, int G, int C>
void cascadePass(CascadeLanes& lanes) {
  Pipeline<W, G, C>(lanes).run();
}

}  // namespace
