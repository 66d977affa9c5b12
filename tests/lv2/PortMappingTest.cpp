// Port values against the parameter mapping: every step a port offers is a step of the VST
// parameter, and back, so both formats make the same sound from the same settings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "lv2/PortMapping.h"
#include "plugin/StripSettings.h"

namespace {

StripSettings settingsOf(int parameter, float normalised) {
  StripSettings s;
  applyParameter(s, parameter, normalised);
  return s;
}

TEST(PortMapping, EveryStepOfEveryPortIsAStepOfItsParameterAndBack) {
  for (int parameter : lv2port::kParameters) {
    SCOPED_TRACE(parameterName(parameter));
    float previous = -1e30f;
    for (int k = 0; k < lv2port::candidateCount(parameter); ++k) {
      const float normalised = lv2port::candidate(parameter, k);
      const float port = lv2port::portValueOf(parameter, normalised);
      EXPECT_GT(port, std::exchange(previous, port)) << "step " << k;
      // A port value stands for the normalised value it came from, not only for its sound.
      EXPECT_EQ(lv2port::normalisedOf(parameter, port), normalised) << "step " << k;
      EXPECT_TRUE(k == 0 || !(settingsOf(parameter, normalised) ==
                              settingsOf(parameter, lv2port::candidate(parameter, k - 1))))
          << "steps " << k - 1 << " and " << k << " sound alike";
    }
    EXPECT_EQ(lv2port::portValueOf(parameter, lv2port::candidate(parameter, 0)),
              lv2port::portValueOf(parameter, 0.f));
    EXPECT_EQ(lv2port::portValueOf(parameter, 1.f), previous);
  }
}

TEST(PortMapping, TheHfRingMovesInHundredthsReadAsTheVstBuildReadsThem) {
  for (int hundredths = 0; hundredths <= 100; ++hundredths) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
    const float position = std::strtof(text, nullptr);  // what `--set HFfreq=0.37` gives
    EXPECT_EQ(lv2port::normalisedOf(kHfFreq, static_cast<float>(hundredths)), position) << text;
    EXPECT_EQ(lv2port::portValueOf(kHfFreq, position), static_cast<float>(hundredths)) << text;
  }
  // Positions between hundredths, as a ring drag leaves them, survive the port.
  EXPECT_EQ(lv2port::normalisedOf(kHfFreq, lv2port::portValueOf(kHfFreq, 0.5078125f)), 0.5078125f);
}

TEST(PortMapping, AValueBetweenStepsTakesTheNearestStep) {
  const struct {
    int parameter;
    float port, step;
  } cases[] = {
      {kHpfFreq, 214.f, 220.f}, {kLmGain, 3.3f, 3.25f}, {kOutput, -25.f, -20.f},
      {kLsr, 1.4f, 1.f},        {kHf, 0.7f, 1.f},       {kHfFreq, 140.f, 100.f},
  };
  for (const auto& c : cases)
    EXPECT_EQ(lv2port::portValueOf(c.parameter, lv2port::normalisedOf(c.parameter, c.port)), c.step)
        << parameterName(c.parameter) << " " << c.port;
}

}  // namespace
