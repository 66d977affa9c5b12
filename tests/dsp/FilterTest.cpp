#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "dsp/Filter.h"

namespace {

// A section designed with these settings, status first, so that even an off one designs.
Filter designed(double rate, int type, double freq, double q, double gain, int status = 1) {
  Filter f(rate, type, freq, q, gain);
  f.setStatus(status);
  f.setGain(gain);
  return f;
}

std::array<double, 6> terms(const Filter::Coeffs& k) {
  return {k.a0, k.a1, k.a2, k.b0, k.b1, k.b2};
}

// Processes one sample and returns the coefficients it used.
Filter::Coeffs stepOnce(Filter& f, double x = 0.25) {
  f.processFrame(&x, 1);
  return f.getCurrCoeffs();
}

// a0 a1 a2 b0 b1 b2 at 88.2 kHz. The low shelf's figures come from the textbook formula with
// its narrowing (exponent 3.5) worked outside this code; an off section designs the identity.
TEST(Filter, WorkedDesignsMatchToTwelveDigits) {
  const struct {
    int type;
    double freq, q, gain;
    int status;
    double a0, a1, a2, b0, b1, b2;
  } cases[] = {{Filter::kPeaking, 1000, 1, 6, 1, 1.02519559904, -1.94589920713, 0.950847235266,
                1.02445994721, -1.94589920713, 0.926387288058},
               {Filter::kHighPass, 100, 0.72821, 0, 1, 1.00489126256, -1.99021458969,
                0.990265090884, 0.995119920143, -1.99023984029, 0.995119920143},
               {Filter::kLowPass, 20000, 1, 0, 1, 1.49556438242, -0.194601070853, 0.337287798176,
                0.285671681831, 0.571343363661, 0.285671681831},
               {Filter::kLowShelf, 700, 0.47, 5.78, 1, 2.91428373264, -1.91233709104,
                0.914043278767, 1.01736944932, -1.91153061016, 0.897480310329},
               {Filter::kPeaking, 3000, 0.7, 6, 0, 1, 0, 0, 1, 0, 0}};
  for (const auto& c : cases) {
    const auto got = terms(designed(88200, c.type, c.freq, c.q, c.gain, c.status).getDestCoeffs());
    const double expected[6] = {c.a0, c.a1, c.a2, c.b0, c.b1, c.b2};
    for (int i = 0; i < 6; ++i)
      EXPECT_NEAR(got[i], expected[i], 6e-12 * std::fabs(expected[i]))
          << "type " << c.type << " term " << i;
  }
}

// Settings no band asks for are clamped: frequency to 0.001 Hz (a NaN too) .. 0.499 of the
// rate, Q to 0.0001 .. 1000, gain to +-1000 dB. A rate out of range falls back to 44.1 kHz;
// 20 kHz is reached: the strip designs once at twice a 10 kHz host rate before clamping that.
TEST(Filter, SettersClamp) {
  Filter f(44100, Filter::kPeaking, 1000, 1, 0);
  const struct {
    double freq, q, gain, storedFreq, storedQ, storedGain;
  } values[] = {{0, 0, 2000, 0.001, 0.0001, 1000},
                {30000, 2000, -2000, 22005.9, 1000, -1000},
                {NAN, 1, 0, 0.001, 1, 0}};
  for (const auto& v : values) {
    f.setFreq(v.freq);
    f.setQ(v.q);
    f.setGain(v.gain);
    EXPECT_DOUBLE_EQ(f.getFreq(), v.storedFreq) << v.freq;
    EXPECT_DOUBLE_EQ(f.getQ(), v.storedQ) << v.q;
    EXPECT_DOUBLE_EQ(f.getGain(), v.storedGain) << v.gain;
  }
  const struct {
    double asked, rate;
    std::uint64_t glide;
  } rates[] = {{8000, 44100, 2205},  {19999, 44100, 2205},   {20000, 20000, 1000},
               {48000, 48000, 2400}, {192000, 192000, 9600}, {400000, 400000, 20000},
               {400001, 44100, 2205}};
  for (const auto& r : rates) {
    f.setSampleRate(r.asked);
    EXPECT_EQ(f.getSampleRate(), r.rate) << r.asked;
    EXPECT_EQ(f.getRampLength(), r.glide) << r.asked;
  }
}

// The glide rebuilds the coefficients from the roots for exactly rampLength samples and ends
// on the design, for complex roots (the peaking) and real ones (the low shelf); a status set
// again unchanged does not restart it, a new design does, from the intermediate roots.
TEST(Filter, GlidesRunRampLengthSamplesFromWhereTheyStand) {
  const struct {
    double rate;
    int type;
    double freq, q, gain;
    std::uint64_t length;
  } cases[] = {{88200, Filter::kPeaking, 1000, 1, 9, 4410},
               {48000, Filter::kLowShelf, 200, 0.5, 12, 2400}};
  for (const auto& c : cases) {
    Filter f = designed(c.rate, c.type, c.freq, c.q, 0);
    f.suspend(false);
    f.setGain(c.gain);
    ASSERT_EQ(f.getRampLength(), c.length);
    Filter::Coeffs last{};
    for (std::uint64_t i = 0; i < c.length; ++i) {
      if (i == 1000) f.setStatus(1);
      last = stepOnce(f);
      ASSERT_EQ(last.a0, 1.0) << "sample " << i;  // rebuilt from roots
      ASSERT_EQ(f.getRampRemaining(), c.length - i - 1);
    }
    const auto end = terms(last), dest = terms(f.getDestCoeffs());
    for (int i = 1; i < 6; ++i) EXPECT_NEAR(end[i], dest[i], 1e-12) << c.type << " term " << i;
    EXPECT_EQ(terms(stepOnce(f)), dest);

    f.setGain(0.0);
    for (int i = 0; i < 1000; ++i) stepOnce(f);
    const Filter::Coeffs before = f.getCurrCoeffs();
    f.setFreq(3 * c.freq);
    EXPECT_EQ(f.getRampRemaining(), c.length);
    const Filter::Coeffs after = stepOnce(f);
    EXPECT_NEAR(after.a1, before.a1, 1e-4);
    EXPECT_NEAR(after.b1, before.b1, 1e-4);
    EXPECT_GT(std::fabs(after.a1 - f.getDestCoeffs().a1), 0.01);

    // While suspended a design takes effect at the very next sample.
    f.suspend(true);
    f.setGain(-4.0);
    EXPECT_EQ(f.getRampRemaining(), 0u);
    EXPECT_EQ(terms(stepOnce(f)), terms(f.getDestCoeffs()));
  }
}

TEST(Filter, SwitchingOffGlidesThenBypassesWithClearedHistory) {
  Filter f = designed(44100, Filter::kPeaking, 2000, 1, 12);
  f.suspend(false);
  std::vector<double> in(4000);
  for (int i = 0; i < 4000; ++i) in[i] = std::sin(0.37 * i);
  f.setStatus(0);
  const int len = static_cast<int>(f.getRampLength());
  std::vector<double> buf = in;
  f.processFrame(buf.data(), len);
  EXPECT_NE(buf[10], in[10]);  // still filtering while gliding to neutral
  buf = in;
  f.processFrame(buf.data(), 100);
  EXPECT_EQ(buf, in);

  // Switched on again without a glide, it starts from silence: the fresh impulse response.
  f.suspend(true);
  f.setStatus(1);
  Filter fresh = designed(44100, Filter::kPeaking, 2000, 1, 12);
  std::vector<double> a(64, 0.0), b(64, 0.0);
  a[0] = b[0] = 1.0;
  f.processFrame(a.data(), 64);
  fresh.processFrame(b.data(), 64);
  EXPECT_EQ(a, b);
}

}  // namespace
