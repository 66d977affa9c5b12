#pragma once

#include "dsp/Filter.h"
#include "dsp/VectorKernels.h"

// Runs a chain of left/right section pairs over a chunk of both channels (or of one), with
// the result of calling processFrame on every section in turn, channel by channel, bit
// for bit. The speed comes from overlapping independent recursions: the sections form a
// pipeline in which section g filters frame t - g while section 0 takes frame t, so no
// section waits on its own previous output, and every section of every channel running is
// a lane of the path's registers. Glides are turned into per-frame coefficient streams
// before the pass.
class StereoCascade {
 public:
  static constexpr int kMaxSections = CascadeLanes::kMaxSections;
  static constexpr int kMaxFrames = 64;

  explicit StereoCascade(const VectorKernels& kernels = VectorKernels::selected());

  // left[i] and right[i] are the i-th sections of the chain, leftSamples and rightSamples
  // the channels' frames; a channel whose chain does not run (runLeft / runRight false) is
  // neither filtered nor touched.
  void run(Filter* const* left, Filter* const* right, int sections, double* leftSamples,
           double* rightSamples, int frames, bool runLeft, bool runRight);

 private:
  static constexpr int kMaxLanes = CascadeLanes::kMaxLanes;
  static constexpr int kMaxSteps = kMaxFrames + 2 * (kMaxSections - 1);
  static constexpr int kCoeffs = 5;  // b0 b1 b2 a1 a2

  // Coefficients of register k's lanes for the pass, as a stream while any of them glides.
  void prepare(int k, int frames);
  void flush(int frames);

  const VectorKernels* kernels;
  CascadeLanes lanes{};
  Filter* laneFilter[kMaxLanes] = {};  // section of each lane; null past the last
  int grouped = 0;                     // sections in the pending pass
  int channels = 2;
  alignas(64) double steadyBuffer[kMaxLanes * kCoeffs] = {};
  alignas(64) double streamBuffer[kMaxLanes * kCoeffs * kMaxSteps] = {};
};
