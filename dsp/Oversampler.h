#pragma once

#include "dsp/VectorKernels.h"

// The rate changers around the band sections: a 2x half-band interpolator (127-tap,
// Blackman-windowed, polyphase over a 128-entry ring per channel), the decimation that
// keeps the input-phase samples, and the fixed 32-sample delay that takes the
// interpolator's place at high host rates so the latency does not depend on the rate.
//
// Both channels share one ring position, which moves down by one per written entry, so
// ring entry pos + j holds what was written j steps earlier. Every input takes two entries
// (the second is the interpolator's stuffed zero, or in the fixed delay a copy), and every
// entry ever read lies an even number of steps back, on an input. So each ring is kept as
// its inputs alone, in time order inside a longer history (the newest 64 are the ring's):
// a whole chunk can be written first and its interpolations computed side by side, reading
// exactly what the ring would hold at each step.
//
// A mono caller passes bothChannels false: only the left channel is read and written, and
// the right ring keeps its contents, as a mono loop leaves it alone.
class Oversampler {
 public:
  static constexpr int kRingSize = 128;
  static constexpr int kTaps = 127;
  static constexpr int kCentre = 63;
  static constexpr int kDelayFrames = 32;  // host samples through either path
  static constexpr int kMaxFrames = 64;    // host frames per call; more are cut off

  explicit Oversampler(const VectorKernels& kernels = VectorKernels::selected());

  // Fills upCoeffs; the table never changes afterwards.
  void initUpsDec();
  // Clears both rings and puts the position back at the top.
  void reset();

  // Interpolates n host samples of each channel to 2n in place: sample 2i is the new one
  // half-way between inputs, sample 2i + 1 the input of 32 host samples earlier. Each
  // buffer has room for 2 * kMaxFrames samples.
  void upsample(double* left, double* right, int n, bool bothChannels);
  // Keeps the input-phase samples of one channel: sample i := sample 2i + 1.
  static void downsample(double* samples, int n);
  // Delays n host samples of each channel in place by 32 samples, through the same rings.
  void delay(double* left, double* right, int n, bool bothChannels);

  const double* coeffs() const { return upCoeffs; }
  int position() const { return upPos; }

 private:
  static constexpr int kRingInputs = kRingSize / 2;
  static constexpr int kHistoryInputs = 512;
  static constexpr int kHistorySlack = 16;  // read (never used) by interpolations past a chunk

  // Appends n inputs per channel; a channel not written keeps what its ring held there.
  void append(const double* left, const double* right, int n, bool bothChannels);

  const VectorKernels* kernels;
  alignas(64) double upCoeffs[kRingSize] = {};
  alignas(64) double history[2][kHistoryInputs + kHistorySlack] = {};
  int head = kRingInputs;  // next input; history[c][head - 64 .. head - 1] is the ring
  int upPos = kRingSize - 1;
};
