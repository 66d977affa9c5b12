// The table of one path's kernels (see Lanes.h for how per-path sources include this).
#pragma once

namespace {

template <int W, int C, bool Split>
constexpr void fillCascade(VectorKernels& k) {
  static_assert(CascadeLanes::kMaxSections == 8);
  VectorKernels::CascadePass* passes = k.cascade[C - 1];
  passes[0] = cascadePass<W, 1, C, Split>;
  passes[1] = cascadePass<W, 2, C, Split>;
  passes[2] = cascadePass<W, 3, C, Split>;
  passes[3] = cascadePass<W, 4, C, Split>;
  passes[4] = cascadePass<W, 5, C, Split>;
  passes[5] = cascadePass<W, 6, C, Split>;
  passes[6] = cascadePass<W, 7, C, Split>;
  passes[7] = cascadePass<W, 8, C, Split>;
  k.cascadeShape[C - 1] = {W, Split};
}

// W lanes for the kernels over frames; MonoW for the cascade over one channel, StereoW for
// it over two, each channel in registers of its own when StereoSplit.
template <int W, int MonoW, int StereoW, bool StereoSplit>
constexpr VectorKernels makeKernels(SimdPath path) {
  VectorKernels k{};
  k.path = path;
  fillCascade<MonoW, 1, false>(k);
  fillCascade<StereoW, 2, StereoSplit>(k);
  k.interpolate = interpolate<W>;
  k.outputStage = outputStage<W>;
  k.readFloat = readSamples<W, float>;
  k.readDouble = readSamples<W, double>;
  k.writeFloat = writeSamples<W, float>;
  k.writeDouble = writeSamples<W, double>;
  return k;
}

}  // namespace
