// The bundle as the LV2 tools see it: the Turtle validates, lv2info reads every port as the
// parameter's range, and lv2apply renders the demo as the VST build renders it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "AudioFile.h"
#include "DemoSignal.h"
#include "lv2/EditorAccess.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

#ifndef VELTRANE_HOST_TOOL_PREFIX
#define VELTRANE_HOST_TOOL_PREFIX ""
#endif

namespace {

struct Outcome {
  int status;
  std::string output;
};

Outcome runCommand(const std::string& command) {
  Outcome run{-1, ""};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char line[512];
  while (fgets(line, sizeof line, pipe)) run.output += line;
  run.status = pclose(pipe);
  return run;
}

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

TEST_F(Lv2Tools, TheTurtleValidatesWithoutErrorsOrWarnings) {
  const Outcome run = runCommand("cd " VELTRANE_LV2_BUNDLE
                                 " && lv2_validate manifest.ttl veltrane.ttl presets.ttl");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Found 0 errors"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("error:"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("warning"), std::string::npos) << run.output;
}

TEST_F(Lv2Tools, LV2InfoShowsEveryPortWithTheParametersRangeAndDefault) {
  const Outcome run = runCommand(withPath("lv2info " VELTRANE_LV2_URI));
  ASSERT_EQ(run.status, 0) << run.output;
  struct Range {
    double minimum = NAN, maximum = NAN, fallback = NAN;
  };
  std::map<std::string, Range> ports;
  std::istringstream lines(run.output);
  std::string line, symbol;
  while (std::getline(lines, line)) {
    char word[64];
    double value = 0.0;
    if (std::sscanf(line.c_str(), " Symbol: %63s", word) == 1) ports[symbol = word];
    if (std::sscanf(line.c_str(), " Minimum: %lf", &value) == 1) ports[symbol].minimum = value;
    if (std::sscanf(line.c_str(), " Maximum: %lf", &value) == 1) ports[symbol].maximum = value;
    if (std::sscanf(line.c_str(), " Default: %lf", &value) == 1) ports[symbol].fallback = value;
  }
  // The VST parameter at 0, at 1, and in the "Current" preset, in the window's units.
  const struct {
    const char* symbol;
    double minimum, maximum, fallback;
  } expected[] = {
      {"EQ_all", 0, 1, 1},     {"LSR", 0, 2, 1},
      {"OUTput", -20, 20, 0},  {"SAT", 0, 1, 0},
      {"HPF", 0, 1, 0},        {"HPFfreq", 20, 800, 20},
      {"LF", 0, 1, 1},         {"LFfreq", 30, 410, 150},
      {"LFdip", 0, 1, 1},      {"LFgain", -20, 20, 0},
      {"LMF", 0, 1, 1},        {"LMfreq", 75, 1550, 428},
      {"LMQ", 0, 2, 1},        {"LMgain", -14, 14, 0},
      {"HMF", 0, 1, 1},        {"HMfreq", 420, 9700, 2760},
      {"HMQ", 0, 2, 1},        {"HMgain", -14, 14, 0},
      {"HF", 0, 1, 1},         {"HFfreq", 0, 100, 50},
      {"HFdip", 0, 1, 1},      {"HFgain", -20, 20, 0},
      {"latency", 0, 98, NAN},
  };
  EXPECT_EQ(ports.size(), std::size(expected) + 4);  // and the four audio ports
  for (const auto& e : expected) {
    ASSERT_TRUE(ports.count(e.symbol)) << e.symbol;
    const Range& r = ports[e.symbol];
    EXPECT_EQ(r.minimum, e.minimum) << e.symbol;
    EXPECT_EQ(r.maximum, e.maximum) << e.symbol;
    if (std::isnan(e.fallback))
      EXPECT_TRUE(std::isnan(r.fallback)) << e.symbol;
    else
      EXPECT_EQ(r.fallback, e.fallback) << e.symbol;
  }
  for (const char* fact : {"Has latency:       yes, reported by port 26", "Snare", "Drum Group",
                           "Over Heads", "Round", "Current", VELTRANE_LV2_UI_URI, "#X11UI"})
    EXPECT_NE(run.output.find(fact), std::string::npos) << fact;
}

// The README's "Snare" settings: the VST build's normalised values, the LV2 ports' units.
TEST_F(Lv2Tools, TheSnareDemoThroughLv2ApplyIsTheVstRenderSampleForSample) {
  AudioData demo{44100, 2, formatForFileName("demo.wav"), makeDemoSignal(44100)};
  std::string error;
  ASSERT_TRUE(writeAudioFile(at("demo.wav"), demo, error)) << error;
  const Outcome vst =
      runCommand(std::string(VELTRANE_HOST_PATH) + " render " + VELTRANE_PLUGIN_PATH + " " +
                 at("demo.wav") + " " + at("vst.wav") +
                 " --set SAT=1 --set HPF=1 --set HPFfreq=0.6 --set LF=0 --set LMfreq=0.4"
                 " --set LMgain=0.625 --set HMgain=0.625 --set HF=0");
  ASSERT_EQ(vst.status, 0) << vst.output;
  const Outcome lv2 = runCommand(
      withPath(VELTRANE_HOST_TOOL_PREFIX "lv2apply -i " + at("demo.wav") + " -o " + at("lv2.wav") +
               " -c SAT 1 -c HPF 1 -c HPFfreq 220 -c LF 0 -c LMfreq 289 -c LMgain 3.5 -c HMgain 3.5"
               " -c HF 0 " VELTRANE_LV2_URI));
  ASSERT_EQ(lv2.status, 0) << lv2.output;

  AudioData fromVst, fromLv2;
  ASSERT_TRUE(readAudioFile(at("vst.wav"), fromVst, error)) << error;
  ASSERT_TRUE(readAudioFile(at("lv2.wav"), fromLv2, error)) << error;
  ASSERT_EQ(fromLv2.samples.size(), fromVst.samples.size());
  double largest = 0.0;
  long differing = 0;
  for (std::size_t i = 0; i < fromVst.samples.size(); ++i) {
    largest = std::max(largest, std::fabs(fromVst.samples[i] - fromLv2.samples[i]));
    differing += fromVst.samples[i] != fromLv2.samples[i];
  }
  EXPECT_EQ(differing, 0) << "largest difference " << largest;
}

}  // namespace
