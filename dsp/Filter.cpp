#include "dsp/Filter.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kMinRate = 20000.0;
constexpr double kMaxRate = 400000.0;
constexpr double kFallbackRate = 44100.0;
constexpr double kMinFreq = 0.001;
constexpr double kMaxFreqShare = 0.499;  // of the sample rate
constexpr double kMinQ = 0.0001;
constexpr double kMaxQ = 1000.0;
constexpr double kMaxGainDb = 1000.0;

// Adding and removing a tiny constant turns magnitudes below about 1e-46 into exact
// zeros, so no denormal survives in a recursion or a glide step.
inline double flushDenormal(double v) {
  v += 1e-30;
  v -= 1e-30;
  return v;
}

// Near Nyquist the designs would widen; the Q that enters them is narrowed by
// 1 - (freq / (share * rate))^exponent, with a share and exponent per response.
struct Narrowing {
  double share;
  double exponent;
};

Narrowing narrowingFor(int type) {
  switch (type) {
    case Filter::kHighPass: return {0.5001, 6.0};
    case Filter::kLowShelf: return {0.5001, 3.5};
    case Filter::kHighShelf: return {0.5001, 4.0};
    case Filter::kLowPass: return {0.50001, 8.0};
    default: return {0.5001, 2.8};
  }
}

}  // namespace

// The per-sample work of processFrame with the section's state held in locals, so a
// block runs from registers and two sections can share one loop.
struct FilterKernel {
  explicit FilterKernel(const Filter& f)
      : dest(f.destCoeffs), curr(f.currCoeffs), roots(f.currRoots), ramp(f.rampRemaining),
        x1(f.x1), x2(f.x2), y1(f.y1), y2(f.y2), x0(f.x0), y0(f.y0) {
    for (int i = 0; i < Filter::kIncrements; ++i) inc[i] = f.rootIncrements[i];
  }

  void store(Filter& f) const {
    f.currCoeffs = curr;
    f.currRoots = roots;
    f.rampRemaining = ramp;
    f.x0 = x0;
    f.x1 = x1;
    f.x2 = x2;
    f.y0 = y0;
    f.y1 = y1;
    f.y2 = y2;
  }

  double tick(double in) {
    x0 = in;
    if (ramp > 0) {
      --ramp;
      roots.zero1Re += inc[Filter::kZero1Re];
      roots.zero2Re += inc[Filter::kZero2Re];
      roots.zero1Im += inc[Filter::kZero1Im];
      roots.zero2Im += inc[Filter::kZero2Im];
      roots.pole1Re += inc[Filter::kPole1Re];
      roots.pole2Re += inc[Filter::kPole2Re];
      roots.pole1Im += inc[Filter::kPole1Im];
      roots.pole2Im += inc[Filter::kPole2Im];
      roots.gainFactor += inc[Filter::kGainFactor];
      const double g = roots.gainFactor;
      curr.b0 = g;
      curr.b1 = -g * (roots.zero1Re + roots.zero2Re);
      curr.b2 = g * (roots.zero1Re * roots.zero2Re - roots.zero1Im * roots.zero2Im);
      curr.a0 = 1.0;
      curr.a1 = -(roots.pole1Re + roots.pole2Re);
      curr.a2 = roots.pole1Re * roots.pole2Re - roots.pole1Im * roots.pole2Im;
    } else {
      curr = dest;
    }
    y0 = flushDenormal(curr.b0 * x0 + curr.b1 * x1 + curr.b2 * x2 - curr.a1 * y1 - curr.a2 * y2);
    y2 = y1;
    y1 = y0;
    x2 = x1;
    x1 = x0;
    return y0;
  }

  const Filter::Coeffs dest;
  Filter::Coeffs curr;
  Filter::RootSet roots;
  double inc[Filter::kIncrements];
  std::uint64_t ramp;
  double x1, x2, y1, y2;
  double x0, y0;
};

Filter::Filter(double rate, int newType, double newFreq, double newQ, double newGain)
    : sampleRate(rate), type(newType), freq(newFreq), q(newQ), gain(newGain),
      rampLength(glideSamples(rate)) {}

std::uint64_t Filter::glideSamples(double rate) {
  const double samples = rate * kGlideMs / 1000.0;
  // A rate too small (or not a number) for one sample of glide would divide the
  // increments by zero; such a section glides over a single sample instead.
  if (!(samples >= 1.0)) return 1;
  if (samples > 1e15) return static_cast<std::uint64_t>(1e15);
  return static_cast<std::uint64_t>(samples);
}

void Filter::setSampleRate(double rate) {
  if (rate >= kMinRate && rate <= kMaxRate) {
    sampleRate = rate;
  } else {
    sampleRate = kFallbackRate;
  }
  rampLength = glideSamples(sampleRate);
  calcDestPolesAndZeros();
}

void Filter::setType(int newType) {
  type = newType;
  calcDestPolesAndZeros();
}

void Filter::setFreq(double newFreq) {
  if (!(newFreq >= kMinFreq)) {  // a frequency that is not a number takes the floor too
    freq = kMinFreq;
  } else {
    const double ceiling = kMaxFreqShare * sampleRate;
    freq = newFreq < ceiling ? newFreq : ceiling;
  }
  calcDestPolesAndZeros();
}

void Filter::setQ(double newQ) {
  if (!(newQ >= kMinQ)) {
    q = kMinQ;
  } else {
    q = newQ > kMaxQ ? kMaxQ : newQ;
  }
  calcDestPolesAndZeros();
}

void Filter::setGain(double newGain) {
  if (std::isnan(newGain)) {
    gain = 0.0;
  } else if (newGain < -kMaxGainDb) {
    gain = -kMaxGainDb;
  } else {
    gain = newGain > kMaxGainDb ? kMaxGainDb : newGain;
  }
  calcDestPolesAndZeros();
}

void Filter::setStatus(int newStatus) {
  if (newStatus == status) return;
  status = newStatus;
  calcDestPolesAndZeros();
}

void Filter::suspend(bool flag) {
  suspended = flag;
  endGlide();
}

void Filter::reset() {
  currRoots = kInitialRoots;
  destRoots = kInitialRoots;
  for (double& i : rootIncrements) i = 0.0;
  x1 = x2 = y1 = y2 = 0.0;
  rampRemaining = 0;
}

void Filter::makeCoeffsDest() { endGlide(); }

void Filter::makeCurrDest() { endGlide(); }

void Filter::endGlide() {
  currRoots = destRoots;
  for (double& i : rootIncrements) i = 0.0;
  rampRemaining = 0;
}

void Filter::calcDestCoeffs() {
  destCoeffs = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
  if (status == 0) return;
  if (type <= kNone || type > kAllPass || type == 2 || type == 9) return;

  const double w = kTwoPi * freq / sampleRate;
  const double c = std::cos(w);
  const double s = std::sin(w);
  const double A = std::pow(10.0, gain / 40.0);
  const Narrowing n = narrowingFor(type);
  const double qe = q * (1.0 - std::pow(freq / (n.share * sampleRate), n.exponent));
  const double alpha = s / (2.0 * qe);
  const double beta = std::sqrt(A) * s / qe;

  double a0 = 1.0, a1 = 0.0, a2 = 0.0, b0 = 1.0, b1 = 0.0, b2 = 0.0;
  switch (type) {
    case kHighPass:
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = (1.0 + c) / 2.0;
      b1 = -(1.0 + c);
      b2 = (1.0 + c) / 2.0;
      break;
    case kLowShelf:
      a0 = (A + 1.0) + (A - 1.0) * c + beta;
      a1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
      a2 = (A + 1.0) + (A - 1.0) * c - beta;
      b0 = A * ((A + 1.0) - (A - 1.0) * c + beta);
      b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
      b2 = A * ((A + 1.0) - (A - 1.0) * c - beta);
      break;
    case kPeaking:
      a0 = 1.0 + alpha / A;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha / A;
      b0 = 1.0 + alpha * A;
      b1 = -2.0 * c;
      b2 = 1.0 - alpha * A;
      break;
    case kBandPass:
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      break;
    case kNotch:
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = 1.0;
      b1 = -2.0 * c;
      b2 = 1.0;
      break;
    case kHighShelf:
      a0 = (A + 1.0) - (A - 1.0) * c + beta;
      a1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
      a2 = (A + 1.0) - (A - 1.0) * c - beta;
      b0 = A * ((A + 1.0) + (A - 1.0) * c + beta);
      b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
      b2 = A * ((A + 1.0) + (A - 1.0) * c - beta);
      break;
    case kLowPass:
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = (1.0 - c) / 2.0;
      b1 = 1.0 - c;
      b2 = (1.0 - c) / 2.0;
      break;
    case kAllPass: {
      const double plainAlpha = s / (2.0 * q);  // the all-pass is not narrowed
      a0 = 1.0 + plainAlpha;
      a1 = -2.0 * c;
      a2 = 1.0 - plainAlpha;
      b0 = 1.0 - plainAlpha;
      b1 = -2.0 * c;
      b2 = 1.0 + plainAlpha;
      break;
    }
    default:
      break;
  }
  destCoeffs = {a0, a1 / a0, a2 / a0, b0 / a0, b1 / a0, b2 / a0};
}

void Filter::calcDestPolesAndZeros() {
  calcDestCoeffs();
  const double b0 = destCoeffs.b0, b1 = destCoeffs.b1, b2 = destCoeffs.b2;
  const double a1 = destCoeffs.a1, a2 = destCoeffs.a2;

  destRoots.gainFactor = b0;
  if (b0 == 0.0) {
    // A vanishing numerator (a low-pass whose cosine rounds to 1) has no finite zeros to
    // solve for; with a zero gain factor any finite zeros rebuild the same response.
    destRoots.zero1Re = destRoots.zero1Im = destRoots.zero2Re = destRoots.zero2Im = 0.0;
  } else {
    const double d = b1 * b1 - 4.0 * b0 * b2;
    if (d >= 0.0) {
      destRoots.zero1Re = (-b1 - std::sqrt(d)) / (2.0 * b0);
      destRoots.zero2Re = (std::sqrt(d) - b1) / (2.0 * b0);
      destRoots.zero1Im = destRoots.zero2Im = 0.0;
    } else {
      destRoots.zero1Re = destRoots.zero2Re = b1 / (-2.0 * b0);
      destRoots.zero1Im = std::sqrt(-d) / (-2.0 * b0);
      destRoots.zero2Im = -destRoots.zero1Im;
    }
  }
  const double d = a1 * a1 - 4.0 * a2;
  if (d >= 0.0) {
    destRoots.pole1Re = (-a1 - std::sqrt(d)) / 2.0;
    destRoots.pole2Re = (std::sqrt(d) - a1) / 2.0;
    destRoots.pole1Im = destRoots.pole2Im = 0.0;
  } else {
    destRoots.pole1Re = destRoots.pole2Re = -a1 / 2.0;
    destRoots.pole1Im = -std::sqrt(-d) / 2.0;
    destRoots.pole2Im = std::sqrt(-d) / 2.0;
  }

  const double len = static_cast<double>(rampLength);
  rootIncrements[kZero1Re] = flushDenormal((destRoots.zero1Re - currRoots.zero1Re) / len);
  rootIncrements[kZero2Re] = flushDenormal((destRoots.zero2Re - currRoots.zero2Re) / len);
  rootIncrements[kZero1Im] = flushDenormal((destRoots.zero1Im - currRoots.zero1Im) / len);
  rootIncrements[kZero2Im] = flushDenormal((destRoots.zero2Im - currRoots.zero2Im) / len);
  rootIncrements[kPole1Re] = flushDenormal((destRoots.pole1Re - currRoots.pole1Re) / len);
  rootIncrements[kPole2Re] = flushDenormal((destRoots.pole2Re - currRoots.pole2Re) / len);
  rootIncrements[kPole1Im] = flushDenormal((destRoots.pole1Im - currRoots.pole1Im) / len);
  rootIncrements[kPole2Im] = flushDenormal((destRoots.pole2Im - currRoots.pole2Im) / len);
  rootIncrements[kGainFactor] = flushDenormal((destRoots.gainFactor - currRoots.gainFactor) / len);
  rampRemaining = rampLength;

  if (suspended) endGlide();
}

bool Filter::bypassed() {
  if (type == kNone) return true;
  if (status == 0 && rampRemaining == 0) {
    x1 = x2 = y1 = y2 = 0.0;
    return true;
  }
  return false;
}

void Filter::processFrame(double* samples, int count) {
  if (bypassed() || count < 1) return;
  FilterKernel k(*this);
  for (int i = 0; i < count; ++i) samples[i] = k.tick(samples[i]);
  k.store(*this);
}

void Filter::processFramePair(Filter& left, double* samplesLeft, Filter& right,
                              double* samplesRight, int count) {
  const bool leftRuns = !left.bypassed() && count >= 1;
  const bool rightRuns = !right.bypassed() && count >= 1;
  if (!leftRuns || !rightRuns) {
    if (leftRuns) left.processFrame(samplesLeft, count);
    if (rightRuns) right.processFrame(samplesRight, count);
    return;
  }
  FilterKernel kl(left);
  FilterKernel kr(right);
  for (int i = 0; i < count; ++i) {
    samplesLeft[i] = kl.tick(samplesLeft[i]);
    samplesRight[i] = kr.tick(samplesRight[i]);
  }
  kl.store(left);
  kr.store(right);
}

double Filter::calcA(double w) const {
  const Coeffs& k = destCoeffs;
  const double c1 = std::cos(w), s1 = std::sin(w);
  const double c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
  const double numRe = k.b0 + k.b1 * c1 + k.b2 * c2;
  const double numIm = k.b1 * s1 + k.b2 * s2;
  const double denRe = 1.0 + k.a1 * c1 + k.a2 * c2;
  const double denIm = k.a1 * s1 + k.a2 * s2;
  return std::sqrt(numRe * numRe + numIm * numIm) / std::sqrt(denRe * denRe + denIm * denIm);
}
