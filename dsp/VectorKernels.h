#pragma once

#include "dsp/SimdPath.h"

// How a path runs the section pipeline over one or over two channels.
struct CascadeShape {
  int width;  // lanes per register
  // Whether passes try leaving out the flush (where it pays off).
  bool triesWithoutFlush;
  // Steps from a section's output to the next section taking it: 1 (2 from the last register
  // to the first) where the registers' work bounds a step, 2 throughout where the wait for
  // that output does (one channel leaves most lanes idle).
  int stagger;
};

// Where the sections of a pass sit: `width` lanes to a register, each section taking one
// lane per channel, side by side. Section g is in register g % registers at slot
// g / registers, so a section hands its output to the next in the same lanes of the next
// register, and only from the last register back to the first (one slot up) do outputs move
// across lanes. Section g works on frame t - offset(g) at step t. Such a move makes all of
// the next step wait for the whole register, so it gets a step of its own; with a stagger
// of 2 every hand-over does.
struct CascadeLayout {
  int width, channels, sections, registers, stagger;
  constexpr CascadeLayout(const CascadeShape& shape, int channels, int sections)
      : width(shape.width),
        channels(channels),
        sections(sections),
        registers((sections * channels + shape.width - 1) / shape.width),
        stagger(shape.stagger) {}
  constexpr int lane(int g, int c) const {
    return (g % registers) * width + (g / registers) * channels + c;
  }
  constexpr int offset(int g) const { return stagger == 2 ? 2 * g : g + g / registers; }
  constexpr int depth() const { return offset(sections - 1); }  // steps past the last frame
};

// One pass of the section pipeline over a chunk, lane by lane as CascadeLayout places them:
// frames + depth steps.
struct CascadeLanes {
  static constexpr int kMaxSections = 8;
  static constexpr int kMaxLanes = 2 * kMaxSections;
  // The sections' histories, read before the pass and written back after it.
  alignas(64) double x1[kMaxLanes], x2[kMaxLanes], y1[kMaxLanes], y2[kMaxLanes];
  // Per register: b0 b1 b2 a1 a2 of its lanes (each `width` doubles) for step 0, those
  // of step t `t * stride` doubles on; the stride is 0 while no section there glides. Only
  // the steps at which a lane's section has a frame are used.
  const double* coeffs[kMaxLanes];
  int stride[kMaxLanes];
  double* planes[2];  // the samples of channel 0 (and 1), filtered in place
  int frames;
  // Whether to add and remove 1e-30 after every output, as processFrame does. A pass
  // without it gives the same samples as long as no output is smaller than 2^-45 in
  // magnitude (with rounding to nearest); when one is, it reports it, having stored nothing
  // but (perhaps) some of x2, and the pass must be run again from the same histories and
  // samples with the flush.
  bool exact;
};

// One channel of the output stage over a chunk (the lines are unrolled: entry i of the
// chunk sits at index i, older entries below it).
struct OutputLanes {
  double* samples;    // n samples, replaced by the output
  double* delay;      // where the gained samples go
  double* magnitude;  // where their magnitudes go while saturating
  // The peak window reversed, each weight twice in a row: weight j (at 2j) for the magnitude
  // length - 1 - j back.
  const double* weights;
  int frames;
  int half;    // the look-ahead delay
  int length;  // the window length
  // Weights j in [centreBegin, centreEnd) are the window's largest; none outside is above
  // sideWeight (no side when the centre is all of it).
  int centreBegin, centreEnd;
  double sideWeight;
  double gain;
  bool saturate;
};

// The engine's inner loops compiled for one SimdPath. Kernels over frames may read and write
// up to a register's width past the frames asked for in the engine's own buffers (never in
// a host's); the output stage reads up to three registers' width past its newest magnitude.
struct VectorKernels {
  using CascadePass = bool (*)(CascadeLanes&);
  SimdPath path;
  CascadeShape cascadeShape[2];  // of the passes over one and over two channels
  CascadePass cascade[2][CascadeLanes::kMaxSections];  // [channels - 1][sections - 1]
  // For each of `channels` channels, the 2n samples at twice the rate for n new inputs
  // history[c][0..n-1] (older inputs below them): out[c][2i] interpolated, out[c][2i + 1] the
  // input of 32 samples earlier.
  void (*interpolate)(const double* const* history, int channels, const double* taps,
                      double* const* out, int n);
  void (*outputStage)(const OutputLanes& lanes);
  // Host samples in, as doubles; a sample that is not a finite number becomes 0.
  void (*readFloat)(const float* in, double* out, int n);
  void (*readDouble)(const double* in, double* out, int n);
  // Samples out to a host buffer, raising `peak` to their largest magnitude; a sample that
  // is not a number makes it one, and it stays one.
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
