#pragma once

// The last stage of the strip: the gained signal runs through a look-ahead delay of half
// a window, and with saturation on its gain follows the windowed peak of the magnitudes
// around the delayed sample, so the soft clip starts before a peak arrives.
//
// Blocks are interleaved left/right frames; with bothChannels false only the left lane is
// read, written and stored, and the right lines keep their contents.
class OutputStage {
 public:
  static constexpr int kLineLength = 1024;
  static constexpr int kLineMask = kLineLength - 1;
  static constexpr double kKnee = 1.490526;     // where peak - 0.15 peak^3 is largest
  static constexpr double kCeiling = 0.993807;  // its value there (-0.054 dB)

  OutputStage();

  // Window length from the (clamped) host rate, and its weights.
  void configure(double rate);
  // Clears the lines and puts the write position at its start.
  void clear();

  // Gains, delays and (with saturation) clips n frames in place; g is the smoothed output
  // gain for the whole chunk.
  void process(double* lr, int n, double g, bool satOn, bool bothChannels);

  int getLookAheadLength() const { return lookAheadLength; }
  const double* getPeakWindow() const { return peakWindow; }

 private:
  int lookAheadLength = 1;
  int delayPos = kLineMask;
  double peakWindow[kLineLength] = {};
  // The window reversed (so it runs forwards over the magnitudes), each weight twice, for
  // both channels at once.
  alignas(16) double pairedWindow[kLineLength][2] = {};
  alignas(16) double delay[kLineLength][2] = {};
  // Magnitudes as left/right pairs, each written twice (at w and w + 1024) so that a window
  // ending at w never wraps.
  alignas(16) double magnitude[2 * kLineLength][2] = {};
};
