// The table of one path's kernels (see Lanes.h for how per-path sources include this).
#pragma once

namespace {

template <int W, int C>
constexpr void fillCascade(VectorKernels::CascadePass* passes) {
  passes[0] = cascadePass<W, 1, C>;
  passes[1] = cascadePass<W, 2, C>;
  passes[2] = cascadePass<W, 3, C>;
  passes[3] = cascadePass<W, 4, C>;
  passes[4] = cascadePass<W, 5, C>;
  passes[5] = cascadePass<W, 6, C>;
  passes[6] = cascadePass<W, 7, C>;
  passes[7] = cascadePass<W, 8, C>;
  static_assert(CascadeLanes::kMaxSections == 8);
}

template <int W>
constexpr VectorKernels makeKernels(SimdPath path) {
  VectorKernels k{};
  k.path = path;
  k.width = W;
  fillCascade<W, 1>(k.cascade[0]);
  fillCascade<W, 2>(k.cascade[1]);
  k.interpolate = interpolate<W>;
  k.outputStage = outputStage<W>;
  k.readFloat = readSamples<W, float>;
  k.readDouble = readSamples<W, double>;
  k.writeFloat = writeSamples<W, float>;
  k.writeDouble = writeSamples<W, double>;
  return k;
}

}  // namespace
