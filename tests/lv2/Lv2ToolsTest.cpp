// The bundle as the LV2 tools see it: the Turtle validates, lv2info reads every port as the
// parameter's range, and lv2apply renders the demo as the VST build renders it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "AudioFile.h"
#include "DemoSignal.h"
#include "lv2/EditorAccess.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

#ifndef VELTRANE_HOST_TOOL_PREFIX
#define VELTRANE_HOST_TOOL_PREFIX ""
#endif

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

// The bundle alone on the tools' search path: nothing installed on the machine takes part.
class Lv2Tools : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory_symlink(VELTRANE_LV2_BUNDLE, dir.path() / "Veltrane.lv2");
  }
  std::string withPath(const std::string& command) const {
    return "LV2_PATH='" + dir.path().string() + "' " + command;
  }
  std::string at(const char* name) const { return (dir.path() / name).string(); }
  TempDir dir;
};

TEST_F(Lv2Tools, TheTurtleValidatesAndLv2InfoShowsEveryPortWithItsParametersRange) {
  const CommandResult run = runCommand("cd " VELTRANE_LV2_BUNDLE
                                       " && lv2_validate manifest.ttl veltrane.ttl presets.ttl");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, AllOf(HasSubstr("Found 0 errors"), Not(HasSubstr("error:")),
                                Not(HasSubstr("warning"))));

  // lv2info shows every port with its parameter's range and default.
  const CommandResult info = runCommand(withPath("lv2info " VELTRANE_LV2_URI));
  ASSERT_EQ(info.status, 0) << info.output;
  // Each port's symbol, then its minimum, maximum and default where it has them.
  std::istringstream words(info.output);
  std::string ports;
  for (std::string word, value; words >> word;) {
    if (word == "Symbol:" && words >> value) ports += "\n" + value;
    char number[32];
    if ((word == "Minimum:" || word == "Maximum:" || word == "Default:") && words >> value &&
        std::snprintf(number, sizeof number, " %g", std::stod(value)) > 0)
      ports += number;
  }
  // The VST parameter at 0, at 1, and in the "Current" preset, in the window's units.
  EXPECT_EQ(ports,
            "\nin_l\nin_r\nout_l\nout_r\nEQ_all 0 1 1\nLSR 0 2 1\nOUTput -20 20 0\nSAT 0 1 0\n"
            "HPF 0 1 0\nHPFfreq 20 800 20\nLF 0 1 1\nLFfreq 30 410 150\nLFdip 0 1 1\n"
            "LFgain -20 20 0\nLMF 0 1 1\nLMfreq 75 1550 428\nLMQ 0 2 1\nLMgain -14 14 0\n"
            "HMF 0 1 1\nHMfreq 420 9700 2760\nHMQ 0 2 1\nHMgain -14 14 0\nHF 0 1 1\n"
            "HFfreq 0 100 50\nHFdip 0 1 1\nHFgain -20 20 0\nlatency 0 98");
  for (const char* fact : {"Has latency:       yes, reported by port 26", "Snare", "Drum Group",
                           "Over Heads", "Round", "Current", VELTRANE_LV2_UI_URI, "#X11UI"})
    EXPECT_THAT(info.output, HasSubstr(fact));
}

// The README's "Snare" settings: the VST build's normalised values, the LV2 ports' units. The
// VST render is the render command's own demo, as the README's first command makes it.
TEST_F(Lv2Tools, TheSnareDemoThroughLv2ApplyIsTheVstRenderSampleForSample) {
  const CommandResult vst =
      runCommand(VELTRANE_HOST_PATH " render " VELTRANE_PLUGIN_PATH " " + at("vst.wav") +
                 " --set SAT=1 --set HPF=1 --set HPFfreq=0.6 --set LF=0"
                 " --set LMfreq=0.4 --set LMgain=0.625 --set HMgain=0.625"
                 " --set HF=0");
  ASSERT_EQ(vst.status, 0) << vst.output;
  for (const char* says : {"latency 46 samples", "output right peak", "real-time factor"})
    EXPECT_THAT(vst.output, HasSubstr(says));
  AudioData demo{44100, 2, formatForFileName("demo.wav"), makeDemoSignal(44100)};
  std::string error;
  ASSERT_TRUE(writeAudioFile(at("demo.wav"), demo, error)) << error;
  const CommandResult lv2 = runCommand(
      withPath(VELTRANE_HOST_TOOL_PREFIX "lv2apply -i " + at("demo.wav") + " -o " + at("lv2.wav") +
               " -c SAT 1 -c HPF 1 -c HPFfreq 220 -c LF 0 -c LMfreq 289 -c LMgain 3.5 -c HMgain 3.5"
               " -c HF 0 " VELTRANE_LV2_URI));
  ASSERT_EQ(lv2.status, 0) << lv2.output;

  AudioData fromVst, fromLv2;
  ASSERT_TRUE(readAudioFile(at("vst.wav"), fromVst, error)) << error;
  ASSERT_TRUE(readAudioFile(at("lv2.wav"), fromLv2, error)) << error;
  EXPECT_TRUE(fromVst.channels == 2 && fromVst.rate == 44100);
  ASSERT_EQ(fromVst.samples.size(), 2u * 6 * 44100);
  ASSERT_EQ(fromLv2.samples.size(), fromVst.samples.size());
  double peak = 0.0;
  long differing = 0;
  for (std::size_t i = 0; i < fromVst.samples.size(); ++i) {
    peak = std::max(peak, std::fabs(fromVst.samples[i]));
    differing += fromVst.samples[i] != fromLv2.samples[i];
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(peak, 0.3);
  EXPECT_LE(peak, 0.994);  // saturation on
}

}  // namespace
