#pragma once

// The last stage of the strip: the gained signal runs through a look-ahead delay of half
// a window, and with saturation on its gain follows the windowed peak of the magnitudes
// around the delayed sample, so the soft clip starts before a peak arrives.
class OutputStage {
 public:
  static constexpr int kLineLength = 1024;
  static constexpr int kLineMask = kLineLength - 1;
  static constexpr double kKnee = 1.490526;      // where peak - 0.15 peak^3 is largest
  static constexpr double kCeiling = 0.993807;  // its value there (-0.054 dB)

  OutputStage();

  // Window length from the (clamped) host rate, and its weights.
  void configure(double rate);
  // Clears the lines and puts the write position at its start.
  void clear();

  // Gains, delays and (with saturation) clips n samples of one or two channels in place;
  // g is the smoothed output gain for the whole chunk.
  void process(double* left, int n, double g, bool satOn);
  void process(double* left, double* right, int n, double g, bool satOn);

  int getLookAheadLength() const { return lookAheadLength; }
  const double* getPeakWindow() const { return peakWindow; }

 private:
  double saturate(const double* mag, double delayed, int pos) const;

  int lookAheadLength = 1;
  int delayPos = kLineMask;
  double peakWindow[kLineLength] = {};
  double delayL[kLineLength] = {};
  double delayR[kLineLength] = {};
  double magL[kLineLength] = {};
  double magR[kLineLength] = {};
};
