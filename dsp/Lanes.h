// Registers of W doubles for the engine's kernels, written once with the compiler's vector
// types and compiled once per path: each per-path source includes this inside its target
// region (after every standard header), so everything here stays local to that source.
// Only plain multiplies, adds and subtracts are written; contraction is off, so no fused
// multiply-add appears on any path.
#pragma once

// Every width is declared in every path's source but used only where it is enabled, always
// inlined; the note about passing wide vectors between functions does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

template <int W>
struct VectorOf;
template <>
struct VectorOf<2> {
  typedef double V __attribute__((vector_size(16)));
  typedef __INT64_TYPE__ M __attribute__((vector_size(16)));
  typedef float F __attribute__((vector_size(8)));
  static V splat(double x) { return V{x, x}; }
  template <class P, class T>
  static T shuffle(T a, T b) {
    return __builtin_shufflevector(a, b, P::lane(0), P::lane(1));
  }
};
template <>
struct VectorOf<4> {
  typedef double V __attribute__((vector_size(32)));
  typedef __INT64_TYPE__ M __attribute__((vector_size(32)));
  typedef float F __attribute__((vector_size(16)));
  static V splat(double x) { return V{x, x, x, x}; }
  template <class P, class T>
  static T shuffle(T a, T b) {
    return __builtin_shufflevector(a, b, P::lane(0), P::lane(1), P::lane(2), P::lane(3));
  }
};
template <>
struct VectorOf<8> {
  typedef double V __attribute__((vector_size(64)));
  typedef __INT64_TYPE__ M __attribute__((vector_size(64)));
  typedef float F __attribute__((vector_size(32)));
  static V splat(double x) { return V{x, x, x, x, x, x, x, x}; }
  template <class P, class T>
  static T shuffle(T a, T b) {
    return __builtin_shufflevector(a, b, P::lane(0), P::lane(1), P::lane(2), P::lane(3), P::lane(4),
                                   P::lane(5), P::lane(6), P::lane(7));
  }
};

template <int W>
struct Lanes {
  // Lane patterns for shuffles, fixed at compile time as both compilers' builtin wants them:
  // lane i of the result is lane(i) of the first operand (0..W-1) or of the second (W..2W-1).
  template <int R>
  struct RotateBy {
    static constexpr int lane(int i) { return (i + R) & (W - 1); }
  };
  template <int S>
  struct UpFromBottom {
    static constexpr int lane(int i) { return i < S ? W + i : i - S; }
  };
  template <int Half>
  struct Interleave {
    static constexpr int lane(int i) { return Half * W / 2 + i / 2 + (i % 2) * W; }
  };
  template <class P, class T>
  static T shuffle(T a, T b) {
    return VectorOf<W>::template shuffle<P>(a, b);
  }

  using V = typename VectorOf<W>::V;
  using M = typename VectorOf<W>::M;  // lane masks (all bits set or clear) and lane numbers
  using F = typename VectorOf<W>::F;  // as many floats

  static V load(const double* p) {
    V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
  }
  static void store(double* p, V v) { __builtin_memcpy(p, &v, sizeof v); }
  // Written out per width: a loop filling lanes is not always recognised as a broadcast.
  static V splat(double x) { return VectorOf<W>::splat(x); }
  // From a value stored twice in a row: a plain load where a register holds two.
  static V splatPair(const double* pair) {
    if constexpr (W == 2) return load(pair);
    return splat(*pair);
  }
  static V select(M on, V a, V b) { return on ? a : b; }
  static bool all(M on) {
    if constexpr (W >= 8) on &= shuffle<RotateBy<4>>(on, on);
    if constexpr (W >= 4) on &= shuffle<RotateBy<2>>(on, on);
    return (on[0] & on[1]) != 0;
  }
  static V abs(V v) { return (V)((M)v & ~(M)splat(-0.0)); }
  // a > b ? a : b per lane: the larger, or b when either is not a number.
  static V max(V a, V b) { return a > b ? a : b; }

  // Lane i takes lane (i + R) mod W.
  template <int R>
  static V rotate(V v) {
    return shuffle<RotateBy<R>>(v, v);
  }
  // The largest and smallest lane (by max and its mirror: a lane that is not a number is
  // passed over where another is).
  static double largest(V v) {
    if constexpr (W >= 8) v = max(rotate<4>(v), v);
    if constexpr (W >= 4) v = max(rotate<2>(v), v);
    return v[1] > v[0] ? v[1] : v[0];
  }
  static double smallest(V v) {
    if constexpr (W >= 8) v = v < rotate<4>(v) ? v : rotate<4>(v);
    if constexpr (W >= 4) v = v < rotate<2>(v) ? v : rotate<2>(v);
    return v[1] < v[0] ? v[1] : v[0];
  }
  // x moved up by S lanes, its lowest S lanes taken from the bottom of `in`.
  template <int S>
  static V feed(V in, V x) {
    return shuffle<UpFromBottom<S>>(x, in);
  }
  // Lanes 0..W/2-1 of a and b alternately, then the upper halves: two registers of pairs.
  static V interleaveLow(V a, V b) { return shuffle<Interleave<0>>(a, b); }
  static V interleaveHigh(V a, V b) { return shuffle<Interleave<1>>(a, b); }
};

}  // namespace

#pragma GCC diagnostic pop
