#pragma once

#include "dsp/SimdPath.h"

// One pass of the section pipeline over a chunk, in lanes: lane j carries section
// j / channels of channel j % channels, and `width` lanes share one register. The pass
// runs frames + skew * (sections - 1) steps; at step t section g filters frame t - skew g.
struct CascadeLanes {
  static constexpr int kMaxSections = 8;
  static constexpr int kMaxLanes = 2 * kMaxSections;
  // Steps between a section and the next: 1 where every register holds one section, else
  // 2 (handing outputs across lanes then gets a step of its own).
  static constexpr int skew(int width, int channels) { return width == channels ? 1 : 2; }
  // The sections' histories, read before the pass and written back after it.
  alignas(64) double x1[kMaxLanes], x2[kMaxLanes], y1[kMaxLanes], y2[kMaxLanes];
  // Per register: b0 b1 b2 a1 a2 of its lanes (each `width` doubles) for step 0, those
  // of step t `t * stride` doubles on; the stride is 0 while no section there glides. Only
  // the steps at which a lane's section has a frame are read for it.
  const double* coeffs[kMaxLanes];
  int stride[kMaxLanes];
  double* planes[2];  // the samples of channel 0 (and 1), filtered in place
  int frames;
};

// One channel of the output stage over a chunk (the lines are unrolled: entry i of the
// chunk sits at index i, older entries below it).
struct OutputLanes {
  double* samples;        // n samples, replaced by the output
  double* delay;          // where the gained samples go
  double* magnitude;      // where their magnitudes go while saturating
  const double* weights;  // the peak window, reversed: weight j for magnitude j - (length - 1)
  int frames;
  int half;    // the look-ahead delay
  int length;  // the window length
  double gain;
  bool saturate;
};

// The engine's inner loops compiled for one SimdPath. Kernels over frames may read and write
// up to a register's width past the frames asked for in the engine's own buffers (never in
// a host's).
struct VectorKernels {
  using CascadePass = void (*)(CascadeLanes&);
  SimdPath path;
  int width;                                           // doubles per register
  CascadePass cascade[2][CascadeLanes::kMaxSections];  // [channels - 1][sections - 1]
  // The 2n samples at twice the rate for n new inputs history[0..n-1] (older inputs below
  // them): out[2i] interpolated, out[2i + 1] the input of 32 samples earlier.
  void (*interpolate)(const double* history, const double* taps, double* out, int n);
  void (*outputStage)(const OutputLanes& lanes);
  // Host samples in, as doubles; a sample that is not a finite number becomes 0.
  void (*readFloat)(const float* in, double* out, int n);
  void (*readDouble)(const double* in, double* out, int n);
  // Samples out to a host buffer, raising `peak` to their largest magnitude (to at least the
  // meter's ceiling of 4 when one is not a number).
  void (*writeFloat)(const double* in, float* out, int n, double& peak);
  void (*writeDouble)(const double* in, double* out, int n, double& peak);

  // The kernels of a path this CPU runs (of the best one it runs, if it lacks `path`).
  static const VectorKernels& forPath(SimdPath path);
  // Those of selectedSimdPath().
  static const VectorKernels& selected() { return forPath(selectedSimdPath()); }

 private:
  // One per path, each in a source of its own compiled for that path.
  static const VectorKernels& sse2();
  static const VectorKernels& avx2();
  static const VectorKernels& avx512();
};
