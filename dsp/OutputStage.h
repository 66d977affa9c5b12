#pragma once

#include "dsp/VectorKernels.h"

// The last stage of the strip: the gained signal runs through a look-ahead delay of half
// a window, and with saturation on its gain follows the windowed peak of the magnitudes
// around the delayed sample, so the soft clip starts before a peak arrives.
//
// The delay and magnitude lines are 1024-entry rings per channel, all at one position. They
// are kept unrolled in time order inside a longer history (the newest 1024 entries are the
// ring), so a chunk's entries can be written first and its outputs computed side by side.
// An entry not written (a magnitude without saturation, the right lines in a mono chunk)
// keeps what the ring held there: the entry 1024 back.
class OutputStage {
 public:
  static constexpr int kLineLength = 1024;
  static constexpr double kKnee = 1.490526;     // where peak - 0.15 peak^3 is largest
  static constexpr double kCeiling = 0.993807;  // its value there (-0.054 dB)

  explicit OutputStage(const VectorKernels& kernels = VectorKernels::selected());

  // Window length from the (clamped) host rate, and its weights.
  void configure(double rate);
  // Clears the lines.
  void clear();

  // Gains, delays and (with saturation) clips n samples of each channel in place; g is the
  // smoothed output gain for the whole chunk. With bothChannels false only the left
  // channel is read, written and stored.
  void process(double* left, double* right, int n, double g, bool satOn, bool bothChannels);

  int getLookAheadLength() const { return lookAheadLength; }
  const double* getPeakWindow() const { return peakWindow; }

 private:
  static constexpr int kPiece = 64;  // samples per kernel call
  static constexpr int kHistory = 4 * kLineLength;
  static constexpr int kSlack = 32;  // written or read (never used) by kernels past a piece

  void processPiece(double* left, double* right, int n, double g, bool satOn, bool both);

  const VectorKernels* kernels;
  int lookAheadLength = 1;
  int centreBegin = 0, centreEnd = 1;  // see OutputLanes
  double sideWeight = 0.0;
  int head = kLineLength;  // next entry of every line
  double peakWindow[kLineLength] = {};
  // The window reversed, so that it runs forwards over the magnitudes, each weight twice.
  alignas(64) double reversedWindow[2 * kLineLength] = {};
  alignas(64) double delay[2][kHistory + kSlack] = {};
  alignas(64) double magnitude[2][kHistory + kSlack] = {};
};
