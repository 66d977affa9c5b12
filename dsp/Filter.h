#pragma once

#include <cstdint>

// One second-order section (biquad, direct form I) for one channel of double samples.
// A new design does not jump: the section glides for 50 ms along the roots of its
// transfer function (two zeros, two poles, a gain factor) and rebuilds the coefficients
// from them at every sample, which keeps every intermediate response stable.
class Filter {
 public:
  // Un-normalised a0 (informational) followed by the five normalised terms of
  // H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
  struct Coeffs {
    double a0, a1, a2, b0, b1, b2;
  };

  enum Type : int {
    kNone = 0,
    kHighPass = 1,
    kLowShelf = 3,
    kPeaking = 4,
    kHighShelf = 7,
    kLowPass = 8,
  };

  static constexpr double kGlideMs = 50.0;

  Filter(double sampleRate, int type, double freq, double q, double gain);

  void setSampleRate(double rate);
  void setType(int newType);
  void setFreq(double newFreq);
  void setQ(double newQ);
  void setGain(double newGain);
  void setStatus(int newStatus);
  void suspend(bool flag);
  void reset();

  void calcDestCoeffs();
  void calcDestPolesAndZeros();

  void processFrame(double* samples, int count);

  double calcA(double w) const;

  double getSampleRate() const { return sampleRate; }
  int getType() const { return type; }
  double getFreq() const { return freq; }
  double getQ() const { return q; }
  double getGain() const { return gain; }
  int getStatus() const { return status; }
  const Coeffs& getDestCoeffs() const { return destCoeffs; }
  const Coeffs& getCurrCoeffs() const { return currCoeffs; }
  std::uint64_t getRampRemaining() const { return rampRemaining; }
  std::uint64_t getRampLength() const { return rampLength; }

 private:
  // The nine quantities a glide moves, in their storage order.
  struct RootSet {
    double zero1Re, zero1Im, zero2Re, zero2Im;
    double pole1Re, pole1Im, pole2Re, pole2Im;
    double gainFactor;
  };
  // Per-sample steps, in the order the glide computes them.
  enum Increment {
    kZero1Re,
    kZero2Re,
    kZero1Im,
    kZero2Im,
    kPole1Re,
    kPole2Re,
    kPole1Im,
    kPole2Im,
    kGainFactor,
    kIncrements
  };

  static constexpr RootSet kInitialRoots{1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0};

  static std::uint64_t glideSamples(double rate);
  void endGlide();
  // The once-per-call test of processFrame: true when the samples pass untouched (a
  // section off and steady also clears its history here).
  bool bypassed() {
    if (type == kNone) return true;
    if (status == 0 && rampRemaining == 0) {
      x1 = x2 = y1 = y2 = 0.0;
      ++historyWrites;
      return true;
    }
    return false;
  }
  // The increments, in the order of a RootSet.
  RootSet steps() const;
  static void glideStep(RootSet& r, const RootSet& step, Coeffs& c);
  // The coefficients the recursion uses at the next sample, advancing a glide by one step.
  const Coeffs& nextCoeffs();
  // The same for `frames` samples at once: b0 b1 b2 a1 a2 of frame n go to
  // out[n * frameStride + q * coeffStride + l] for q = 0..4, to `lanes` (1 or 2) lanes l.
  void fillCoeffStream(double* out, int frames, int frameStride, int coeffStride, int lanes);
  template <int Lanes>
  void fillLanes(double* out, int frames, int frameStride, int coeffStride);
  // Whether the two glides give the same coefficients from here on.
  bool glidesLike(const Filter& other) const;
  // Takes over the glide's state from a section that glided alike.
  void followGlide(const Filter& leader);
  friend class StereoCascade;

  double sampleRate;
  int type;
  double freq;
  double q;
  double gain;
  int status = 0;
  Coeffs destCoeffs{1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
  Coeffs currCoeffs{1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
  double x1 = 0.0, x2 = 0.0;
  double y1 = 0.0, y2 = 0.0;
  RootSet currRoots = kInitialRoots;
  RootSet destRoots = kInitialRoots;
  double rootIncrements[kIncrements] = {};
  std::uint64_t rampRemaining = 0;
  std::uint64_t rampLength;
  // Counts designs, so that a copy of the coefficients can tell when it is out of date.
  std::uint32_t designs = 0;
  // The same for the history, written anywhere but by the cascade that passes it on.
  std::uint32_t historyWrites = 0;
  bool suspended = true;
};
