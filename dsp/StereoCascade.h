#pragma once

#include "dsp/Filter.h"

// Runs a chain of left/right section pairs over a block of interleaved stereo frames, with
// the result of calling processFrame on every section in turn, channel by channel, bit
// for bit. The speed comes from overlapping independent recursions: the two channels
// share one SIMD register, and the sections form a pipeline in which section g filters
// frame t - g while section 0 takes frame t, so no section waits on its own previous
// output. Glides are turned into per-frame coefficient streams before the pass.
class StereoCascade {
 public:
  static constexpr int kMaxSections = 8;
  static constexpr int kMaxFrames = 64;

  // left[i] and right[i] are the i-th sections of the chain; a channel whose chain does
  // not run (runLeft / runRight false) is neither filtered nor touched. With one channel
  // running, its sections form the pipeline alone.
  void run(Filter* const* left, Filter* const* right, int sections, double* lr, int frames,
           bool runLeft, bool runRight);

 private:
  struct Stream {
    const double* coeffs;  // b0 b1 b2 a1 a2, each as a left/right pair
    int stride;            // doubles per frame: 0 while no section of the pair glides
  };
  static constexpr Filter::Coeffs kUnused{1.0, 0.0, 0.0, 1.0, 0.0, 0.0};

  // Coefficient stream of the next pipeline slot; a null section is a lane not run.
  void prepare(Filter* l, Filter* r, int slot, int frames);
  template <int G>
  void runPipeline(Filter* const* left, Filter* const* right, double* lr, int frames);
  void flush(double* lr, int frames);

  alignas(16) double streamBuffer[kMaxSections][kMaxFrames * 10] = {};
  alignas(16) double steadyBuffer[kMaxSections][10] = {};
  Stream streams[kMaxSections] = {};
  Filter* groupL[kMaxSections] = {};
  Filter* groupR[kMaxSections] = {};
  int grouped = 0;
};
