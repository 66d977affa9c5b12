// The table of one path's kernels (see Lanes.h for how per-path sources include this).
#pragma once

namespace {

template <int W, int C, bool TryWithoutFlush>
constexpr void fillCascade(VectorKernels& k) {
  static_assert(CascadeLanes::kMaxSections == 8);
  VectorKernels::CascadePass* passes = k.cascade[C - 1];
  passes[0] = cascadePass<W, 1, C, TryWithoutFlush>;
  passes[1] = cascadePass<W, 2, C, TryWithoutFlush>;
  passes[2] = cascadePass<W, 3, C, TryWithoutFlush>;
  passes[3] = cascadePass<W, 4, C, TryWithoutFlush>;
  passes[4] = cascadePass<W, 5, C, TryWithoutFlush>;
  passes[5] = cascadePass<W, 6, C, TryWithoutFlush>;
  passes[6] = cascadePass<W, 7, C, TryWithoutFlush>;
  passes[7] = cascadePass<W, 8, C, TryWithoutFlush>;
  k.cascadeWidth[C - 1] = W;
  k.cascadeTriesWithoutFlush[C - 1] = TryWithoutFlush;
}

// W lanes for the kernels over frames, MonoW and StereoW for the cascade over one channel
// and over two, each trying passes without the flush or not.
template <int W, int MonoW, bool MonoTries, int StereoW, bool StereoTries>
constexpr VectorKernels makeKernels(SimdPath path) {
  VectorKernels k{};
  k.path = path;
  fillCascade<MonoW, 1, MonoTries>(k);
  fillCascade<StereoW, 2, StereoTries>(k);
  k.interpolate = interpolate<W>;
  k.outputStage = outputStage<W>;
  k.readFloat = readSamples<W, float>;
  k.readDouble = readSamples<W, double>;
  k.writeFloat = writeSamples<W, float>;
  k.writeDouble = writeSamples<W, double>;
  return k;
}

}  // namespace
