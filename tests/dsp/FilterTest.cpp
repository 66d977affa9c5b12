#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dsp/Filter.h"

namespace {

Filter designed(double rate, int type, double freq, double q, double gain) {
  Filter f(rate, type, freq, q, gain);
  f.setStatus(1);
  return f;
}

std::vector<double> noise(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> d(-1.0, 1.0);
  std::vector<double> v(n);
  for (double& x : v) x = d(rng);
  return v;
}

TEST(Filter, WorkedDesignsMatchToTwelveDigits) {
  struct Case {
    int type;
    double freq, q, gain;
    double expected[6];  // a0 a1 a2 b0 b1 b2
  } cases[] = {
      {Filter::kPeaking,
       1000,
       1,
       6,
       {1.02519559904, -1.94589920713, 0.950847235266, 1.02445994721, -1.94589920713,
        0.926387288058}},
      {Filter::kHighPass,
       100,
       0.72821,
       0,
       {1.00489126256, -1.99021458969, 0.990265090884, 0.995119920143, -1.99023984029,
        0.995119920143}},
      {Filter::kLowPass,
       20000,
       1,
       0,
       {1.49556438242, -0.194601070853, 0.337287798176, 0.285671681831, 0.571343363661,
        0.285671681831}},
  };
  for (const Case& c : cases) {
    const Filter f = designed(88200, c.type, c.freq, c.q, c.gain);
    const Filter::Coeffs& k = f.getDestCoeffs();
    const double got[6] = {k.a0, k.a1, k.a2, k.b0, k.b1, k.b2};
    for (int i = 0; i < 6; ++i) {
      EXPECT_NEAR(got[i], c.expected[i], 6e-12 * std::fabs(c.expected[i]))
          << "type " << c.type << " term " << i;
    }
  }
}

TEST(Filter, NeutralAndOffDesigns) {
  // A peaking section at 0 dB is exactly transparent; an off one designs the identity.
  const Filter peak = designed(88200, Filter::kPeaking, 3000, 0.7, 0.0);
  const Filter::Coeffs& k = peak.getDestCoeffs();
  EXPECT_EQ(k.b0, 1.0);
  EXPECT_EQ(k.b1, k.a1);
  EXPECT_EQ(k.b2, k.a2);

  Filter off(88200, Filter::kPeaking, 3000, 0.7, 6.0);
  off.setGain(6.0);
  const Filter::Coeffs& i = off.getDestCoeffs();
  EXPECT_EQ(i.a0, 1.0);
  EXPECT_EQ(i.b0, 1.0);
  EXPECT_EQ(i.a1 + i.a2 + i.b1 + i.b2, 0.0);
}

TEST(Filter, SettersClamp) {
  Filter f(44100, Filter::kPeaking, 1000, 1, 0);
  f.setFreq(0);
  EXPECT_EQ(f.getFreq(), 0.001);
  f.setFreq(30000);
  EXPECT_DOUBLE_EQ(f.getFreq(), 22005.9);
  f.setFreq(NAN);
  EXPECT_EQ(f.getFreq(), 0.001);
  f.setQ(0);
  EXPECT_EQ(f.getQ(), 0.0001);
  f.setQ(2000);
  EXPECT_EQ(f.getQ(), 1000.0);
  f.setGain(2000);
  EXPECT_EQ(f.getGain(), 1000.0);
  f.setGain(-2000);
  EXPECT_EQ(f.getGain(), -1000.0);

  const struct {
    double asked, rate;
    std::uint64_t glide;
  } rates[] = {{8000, 44100, 2205},  {400001, 44100, 2205},  {48000, 48000, 2400},
               {96000, 96000, 4800}, {192000, 192000, 9600}, {400000, 400000, 20000}};
  for (const auto& r : rates) {
    f.setSampleRate(r.asked);
    EXPECT_EQ(f.getSampleRate(), r.rate) << r.asked;
    EXPECT_EQ(f.getRampLength(), r.glide) << r.asked;
  }
}

// Processes one sample and returns the coefficients it used.
Filter::Coeffs stepOnce(Filter& f, double x = 0.25) {
  f.processFrame(&x, 1);
  return f.getCurrCoeffs();
}

bool sameCoeffs(const Filter::Coeffs& a, const Filter::Coeffs& b) {
  return a.a0 == b.a0 && a.a1 == b.a1 && a.a2 == b.a2 && a.b0 == b.b0 && a.b1 == b.b1 &&
         a.b2 == b.b2;
}

TEST(Filter, GlideRebuildsForExactlyRampLengthSamples) {
  Filter f = designed(88200, Filter::kPeaking, 1000, 1, 0);
  f.suspend(false);
  f.setGain(9.0);
  const std::uint64_t len = f.getRampLength();
  ASSERT_EQ(len, 4410u);
  for (std::uint64_t i = 0; i < len; ++i) {
    const Filter::Coeffs c = stepOnce(f);
    ASSERT_EQ(c.a0, 1.0) << "sample " << i;  // rebuilt from roots
    ASSERT_EQ(f.getRampRemaining(), len - i - 1);
  }
  EXPECT_TRUE(sameCoeffs(stepOnce(f), f.getDestCoeffs()));

  // While suspended a design takes effect at the very next sample.
  f.suspend(true);
  f.setGain(-4.0);
  EXPECT_EQ(f.getRampRemaining(), 0u);
  EXPECT_TRUE(sameCoeffs(stepOnce(f), f.getDestCoeffs()));
}

TEST(Filter, GlideEndsNearTheDestinationAndUnchangedStatusDoesNotRestart) {
  Filter f = designed(48000, Filter::kLowShelf, 200, 0.5, 0);
  f.suspend(false);
  f.setGain(12.0);
  std::vector<double> block(f.getRampLength(), 0.0);
  f.processFrame(block.data(), 1000);
  f.setStatus(1);  // unchanged
  EXPECT_EQ(f.getRampRemaining(), f.getRampLength() - 1000);
  f.processFrame(block.data(), static_cast<int>(f.getRampRemaining()) - 1);
  const Filter::Coeffs last = stepOnce(f);
  const Filter::Coeffs& d = f.getDestCoeffs();
  EXPECT_NEAR(last.a1, d.a1, 1e-12);
  EXPECT_NEAR(last.a2, d.a2, 1e-12);
  EXPECT_NEAR(last.b0, d.b0, 1e-12);
  EXPECT_NEAR(last.b1, d.b1, 1e-12);
  EXPECT_NEAR(last.b2, d.b2, 1e-12);
}

TEST(Filter, SecondSetterRestartsFromIntermediateRoots) {
  Filter f = designed(88200, Filter::kPeaking, 1000, 1, 0);
  f.suspend(false);
  f.setGain(12.0);
  std::vector<double> block(2000, 0.0);
  f.processFrame(block.data(), 2000);
  const Filter::Coeffs before = f.getCurrCoeffs();
  f.setFreq(5000);
  EXPECT_EQ(f.getRampRemaining(), f.getRampLength());
  // The response moves on from where the first glide stood, by one small step.
  const Filter::Coeffs after = stepOnce(f);
  EXPECT_NEAR(after.a1, before.a1, 1e-3);
  EXPECT_NEAR(after.b0, before.b0, 1e-3);
  EXPECT_GT(std::fabs(after.a1 - f.getDestCoeffs().a1), 0.01);
}

TEST(Filter, SwitchingOffGlidesThenBypassesWithClearedHistory) {
  Filter f = designed(44100, Filter::kPeaking, 2000, 1, 12);
  f.suspend(false);
  std::vector<double> in = noise(4000, 1);
  std::vector<double> buf = in;
  f.processFrame(buf.data(), 4000);
  f.setStatus(0);
  const int len = static_cast<int>(f.getRampLength());
  buf = in;
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

TEST(Filter, TypeZeroPassesSamplesThrough) {
  Filter f(44100, Filter::kNone, 1000, 1, 12);
  f.setStatus(1);
  std::vector<double> in = noise(64, 2), buf = in;
  f.processFrame(buf.data(), 64);
  EXPECT_EQ(buf, in);
}

TEST(Filter, CalcAGivesTheBoostAtTheCentre) {
  const Filter f = designed(88200, Filter::kPeaking, 1000, 1, 6);
  EXPECT_NEAR(f.calcA(6.283185307179586 * 1000 / 88200), std::pow(10.0, 6.0 / 20.0), 1e-9);
  EXPECT_NEAR(f.calcA(3.14159), 1.0, 1e-3);
}

}  // namespace
