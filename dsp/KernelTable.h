// The table of one path's kernels (see Lanes.h for how per-path sources include this).
#pragma once

namespace {

template <CascadeShape S, int C>
constexpr void fillCascade(VectorKernels& k) {
  static_assert(CascadeLanes::kMaxSections == 8);
  VectorKernels::CascadePass* passes = k.cascade[C - 1];
  passes[0] = cascadePass<S, 1, C>;
  passes[1] = cascadePass<S, 2, C>;
  passes[2] = cascadePass<S, 3, C>;
  passes[3] = cascadePass<S, 4, C>;
  passes[4] = cascadePass<S, 5, C>;
  passes[5] = cascadePass<S, 6, C>;
  passes[6] = cascadePass<S, 7, C>;
  passes[7] = cascadePass<S, 8, C>;
  k.cascadeShape[C - 1] = S;
}

// W lanes for the kernels over frames; the cascade over one channel and over two as Mono
// and Stereo say.
template <int W, CascadeShape Mono, CascadeShape Stereo>
constexpr VectorKernels makeKernels(SimdPath path) {
  VectorKernels k{};
  k.path = path;
  fillCascade<Mono, 1>(k);
  fillCascade<Stereo, 2>(k);
  // Four lanes at most: the interpolator's sums load two windows at every tap's offset, and
  // on the AVX-512 machine we measure on, eight-lane windows ran slower than four-lane ones.
  constexpr int kInterpolatorLanes = W < 4 ? W : 4;
  k.interpolate = interpolate<kInterpolatorLanes>;
  k.outputStage = outputStage<W>;
  k.readFloat = readSamples<W, float>;
  k.readDouble = readSamples<W, double>;
  k.writeFloat = writeSamples<W, float>;
  k.writeDouble = writeSamples<W, double>;
  return k;
}

}  // namespace
