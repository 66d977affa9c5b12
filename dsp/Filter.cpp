#include "dsp/Filter.h"

#include <cmath>
#include <cstring>

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
    case Filter::kHighPass:
      return {0.5001, 6.0};
    case Filter::kLowShelf:
      return {0.5001, 3.5};
    case Filter::kLowPass:
      return {0.50001, 8.0};
    default:
      return {0.5001, 2.8};
  }
}

}  // namespace

Filter::Filter(double rate, int newType, double newFreq, double newQ, double newGain)
    : sampleRate(rate),
      type(newType),
      freq(newFreq),
      q(newQ),
      gain(newGain),
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
  ++historyWrites;
  rampRemaining = 0;
}

void Filter::endGlide() {
  currRoots = destRoots;
  for (double& i : rootIncrements) i = 0.0;
  rampRemaining = 0;
}

void Filter::calcDestCoeffs() {
  destCoeffs = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
  if (status == 0) return;
  // Only the responses the bands use are designed; any other type passes the signal as is.
  if (type != kHighPass && type != kLowShelf && type != kPeaking && type != kLowPass) return;

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
    case kLowPass:
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = (1.0 - c) / 2.0;
      b1 = 1.0 - c;
      b2 = (1.0 - c) / 2.0;
      break;
    default:
      break;
  }
  destCoeffs = {a0, a1 / a0, a2 / a0, b0 / a0, b1 / a0, b2 / a0};
}

void Filter::calcDestPolesAndZeros() {
  calcDestCoeffs();
  ++designs;
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

Filter::RootSet Filter::steps() const {
  const double* i = rootIncrements;
  return {i[kZero1Re], i[kZero1Im], i[kZero2Re], i[kZero2Im],   i[kPole1Re],
          i[kPole1Im], i[kPole2Re], i[kPole2Im], i[kGainFactor]};
}

// One step of a glide: the roots move on by their increments and the coefficients are
// rebuilt from them.
inline void Filter::glideStep(RootSet& r, const RootSet& step, Coeffs& c) {
  r.zero1Re += step.zero1Re;
  r.zero2Re += step.zero2Re;
  r.zero1Im += step.zero1Im;
  r.zero2Im += step.zero2Im;
  r.pole1Re += step.pole1Re;
  r.pole2Re += step.pole2Re;
  r.pole1Im += step.pole1Im;
  r.pole2Im += step.pole2Im;
  r.gainFactor += step.gainFactor;
  const double g = r.gainFactor;
  c.b0 = g;
  c.b1 = -g * (r.zero1Re + r.zero2Re);
  c.b2 = g * (r.zero1Re * r.zero2Re - r.zero1Im * r.zero2Im);
  c.a0 = 1.0;
  c.a1 = -(r.pole1Re + r.pole2Re);
  c.a2 = r.pole1Re * r.pole2Re - r.pole1Im * r.pole2Im;
}

const Filter::Coeffs& Filter::nextCoeffs() {
  if (rampRemaining > 0) {
    --rampRemaining;
    glideStep(currRoots, steps(), currCoeffs);
  } else {
    currCoeffs = destCoeffs;
  }
  return currCoeffs;
}

template <int Lanes>
void Filter::fillLanes(double* out, int frames, int frameStride, int coeffStride) {
  // The roots as (real, imaginary) pairs in locals: the sums and products that rebuild the
  // coefficients then pair up too, and the glide runs in registers.
  typedef double Pair __attribute__((vector_size(16)));
  const RootSet& r = currRoots;
  const RootSet step = steps();
  Pair zero1 = {r.zero1Re, r.zero1Im}, zero2 = {r.zero2Re, r.zero2Im};
  Pair pole1 = {r.pole1Re, r.pole1Im}, pole2 = {r.pole2Re, r.pole2Im};
  double g = r.gainFactor;
  const Pair dZero1 = {step.zero1Re, step.zero1Im}, dZero2 = {step.zero2Re, step.zero2Im};
  const Pair dPole1 = {step.pole1Re, step.pole1Im}, dPole2 = {step.pole2Re, step.pole2Im};
  Coeffs c = currCoeffs;
  auto write = [&](int n) {
    double* o = out + n * frameStride;
    if constexpr (Lanes == 2) {
      // A pair of lanes takes one store per coefficient.
      const double values[5] = {c.b0, c.b1, c.b2, c.a1, c.a2};
      for (int q = 0; q < 5; ++q) {
        const Pair v = {values[q], values[q]};
        __builtin_memcpy(o + q * coeffStride, &v, sizeof v);
      }
    } else {
      o[0] = c.b0;
      o[coeffStride] = c.b1;
      o[2 * coeffStride] = c.b2;
      o[3 * coeffStride] = c.a1;
      o[4 * coeffStride] = c.a2;
    }
  };
  const int gliding =
      rampRemaining < static_cast<std::uint64_t>(frames) ? static_cast<int>(rampRemaining) : frames;
  int n = 0;
  if (gliding > 0) c.a0 = 1.0;
  for (; n < gliding; ++n) {
    // glideStep, pair by pair.
    zero1 += dZero1;
    zero2 += dZero2;
    pole1 += dPole1;
    pole2 += dPole2;
    g += step.gainFactor;
    const Pair zeroSum = zero1 + zero2, zeroProduct = zero1 * zero2;
    const Pair poleSum = pole1 + pole2, poleProduct = pole1 * pole2;
    c.b0 = g;
    c.b1 = -g * zeroSum[0];
    c.b2 = g * (zeroProduct[0] - zeroProduct[1]);
    c.a1 = -poleSum[0];
    c.a2 = poleProduct[0] - poleProduct[1];
    write(n);
  }
  if (n < frames) c = destCoeffs;
  for (; n < frames; ++n) write(n);
  currRoots = {zero1[0], zero1[1], zero2[0], zero2[1], pole1[0], pole1[1], pole2[0], pole2[1], g};
  currCoeffs = c;
  rampRemaining -= static_cast<std::uint64_t>(gliding);
}

void Filter::fillCoeffStream(double* out, int frames, int frameStride, int coeffStride, int lanes) {
  if (lanes == 2) {
    fillLanes<2>(out, frames, frameStride, coeffStride);
  } else {
    fillLanes<1>(out, frames, frameStride, coeffStride);
  }
}

namespace {

// Bit for bit, so that zeros of either sign and not-a-numbers compare as what they are; in
// words, as the library's comparison is no inline call for these sizes.
template <class T>
bool sameBits(const T& a, const T& b) {
  static_assert(sizeof(T) % sizeof(std::uint64_t) == 0);
  std::uint64_t x[sizeof(T) / sizeof(std::uint64_t)], y[sizeof x / sizeof *x];
  std::memcpy(x, &a, sizeof x);
  std::memcpy(y, &b, sizeof y);
  std::uint64_t differ = 0;
  for (std::size_t i = 0; i < sizeof x / sizeof *x; ++i) differ |= x[i] ^ y[i];
  return differ == 0;
}

}  // namespace

bool Filter::glidesLike(const Filter& other) const {
  return rampRemaining == other.rampRemaining && sameBits(currRoots, other.currRoots) &&
         sameBits(rootIncrements, other.rootIncrements) && sameBits(destCoeffs, other.destCoeffs);
}

void Filter::followGlide(const Filter& leader) {
  currRoots = leader.currRoots;
  currCoeffs = leader.currCoeffs;
  rampRemaining = leader.rampRemaining;
}

void Filter::processFrame(double* samples, int count) {
  if (bypassed() || count < 1) return;
  // The history runs in locals; steady samples use destCoeffs without copying them.
  double hx1 = x1, hx2 = x2, hy1 = y1, hy2 = y2;
  bool steady = false;
  for (int i = 0; i < count; ++i) {
    const double in = samples[i];
    steady = rampRemaining == 0;
    const Coeffs& c = steady ? destCoeffs : nextCoeffs();
    const double out = flushDenormal(c.b0 * in + c.b1 * hx1 + c.b2 * hx2 - c.a1 * hy1 - c.a2 * hy2);
    hy2 = hy1;
    hy1 = out;
    hx2 = hx1;
    hx1 = in;
    samples[i] = out;
  }
  if (steady) currCoeffs = destCoeffs;
  x1 = hx1;
  x2 = hx2;
  y1 = hy1;
  y2 = hy2;
  ++historyWrites;
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
