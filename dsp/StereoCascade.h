#pragma once

#include <cstdint>

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
  static constexpr int kMaxFrames = 128;

  explicit StereoCascade(const VectorKernels& kernels = VectorKernels::selected());

  // Notes the rounding mode of the calling thread; passes that leave out the flush (and give
  // the same samples only when rounding to nearest) are tried only while it is so.
  void beginBlock();

  // left[i] and right[i] are the i-th sections of the chain, leftSamples and rightSamples
  // the channels' frames; a channel whose chain does not run (runLeft / runRight false) is
  // neither filtered nor touched.
  void run(Filter* const* left, Filter* const* right, int sections, double* leftSamples,
           double* rightSamples, int frames, bool runLeft, bool runRight);

 private:
  static constexpr int kMaxLanes = CascadeLanes::kMaxLanes;
  static constexpr int kMaxSteps = kMaxFrames + 2 * (kMaxSections - 1);
  static constexpr int kCoeffs = 5;  // b0 b1 b2 a1 a2
  static constexpr int kExactPassesAfterSmall = 16;

  // Where a pass of some number of sections and channels puts them, worked out once.
  struct Placement {
    int width;
    int registers;              // in all
    int lane[kMaxSections][2];  // of section g, channel c
    int offset[kMaxSections];   // the step of section g's first frame
  };

  // Runs the first `sections` pending sections as one pass.
  void flush(int sections, int frames);
  // Puts the pending sections into their lanes.
  void placeLanes(const Placement& place);
  // Coefficients of register k's lanes for the pass, as a stream while any of them glides.
  void prepare(const Placement& place, int k, int frames);
  // The kernel, without the flush where that can be tried, again with it where needed.
  void runPass(const Placement& place, int frames);

  const VectorKernels* kernels;
  Placement placements[2][kMaxSections];  // [channels - 1][sections - 1]
  CascadeLanes lanes{};
  Filter* laneFilter[kMaxLanes] = {};     // section of each lane of the pass, or null
  int laneOffset[kMaxLanes] = {};         // the step of its section's first frame
  Filter* pending[kMaxSections][2] = {};  // the pass's sections, by channel
  int grouped = 0;                        // sections in the pending pass
  int channels = 2;
  alignas(64) double steadyBuffer[kMaxLanes * kCoeffs] = {};
  // What each lane's steady coefficients in steadyBuffer were copied from (the section and its
  // design count), so that steady settings are copied once, not every chunk. A section that
  // glides since, or a pass placed differently, makes a lane's copy out of date.
  const Filter* steadyFrom[kMaxLanes] = {};
  std::uint32_t steadyDesigns[kMaxLanes] = {};
  // The same for steady lanes of a register that streams: which frames from which step.
  const Filter* streamFrom[kMaxLanes] = {};
  std::uint32_t streamDesigns[kMaxLanes] = {};
  int streamFrames[kMaxLanes] = {};
  int streamOffset[kMaxLanes] = {};
  int steadyWidth = 0;  // the width the copies were laid out for
  int exactPasses = 0;  // passes still to run with the flush
  bool nearestRounding = true;
  double saved[2][kMaxFrames] = {};  // a pass's samples, for running it again
  // The last pass's sections, reused as they were placed while they run steady as designed
  // then.
  Filter* planned[kMaxSections][2] = {};
  std::uint32_t plannedDesigns[kMaxSections][2] = {};
  std::uint32_t plannedHistories[kMaxSections][2] = {};
  int plannedSections = 0;
  int plannedChannels = 0;
  bool plannedSteady = false;
  alignas(64) double streamBuffer[kMaxLanes * kCoeffs * kMaxSteps] = {};
};
