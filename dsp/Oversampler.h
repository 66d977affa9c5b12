#pragma once

// The rate changers around the band sections: a 2x half-band interpolator (127-tap,
// Blackman-windowed, polyphase over a 128-entry ring per channel), the decimation that
// keeps the input-phase samples, and the fixed 32-sample delay that takes the
// interpolator's place at high host rates so the latency does not depend on the rate.
//
// Both channels share one ring position, which moves down by one per written entry:
// entry pos + j holds what was written j steps earlier.
class Oversampler {
 public:
  static constexpr int kRingSize = 128;
  static constexpr int kTaps = 127;
  static constexpr int kCentre = 63;
  static constexpr int kDelayFrames = 32;  // host samples through either path
  static constexpr int kMaxFrames = 32;    // host samples per up-sampling call

  Oversampler();

  // Fills upCoeffs; the table never changes afterwards.
  void initUpsDec();
  // Clears both rings and puts the position back at the top.
  void reset();

  // Interpolates n host samples to 2n samples in place: work[2i] is the new sample half-way
  // between inputs, work[2i + 1] the input of 32 host samples earlier. work holds room
  // for 2n entries; n is at most kMaxFrames (more is cut off). The stereo form advances
  // the shared position by two per sample, as the mono form does.
  void upsample(double* work, int n);
  void upsample(double* workL, double* workR, int n);
  // Keeps the input-phase samples: out[i] = work[2i + 1]; out may alias work.
  static void downsample(const double* work, double* out, int n);
  // Delays n host samples in place by 32 samples, through the same rings.
  void delay(double* work, int n);
  void delay(double* workL, double* workR, int n);

  const double* coeffs() const { return upCoeffs; }
  int position() const { return upPos; }

 private:
  double interpolate(const double* ring) const;

  double upCoeffs[kRingSize] = {};
  double upRingL[kRingSize] = {};
  double upRingR[kRingSize] = {};
  int upPos = kRingSize - 1;
};
