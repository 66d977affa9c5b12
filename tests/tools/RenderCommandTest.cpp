// `veltrane-host render`, run as a user runs it, on files made here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "AudioFile.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Noise in whole steps of a 16-bit file, so every format used here holds it exactly.
AudioData noise(int rate, int channels, int format, int frames) {
  AudioData s{rate, channels, format,
              std::vector<double>(static_cast<std::size_t>(frames * channels))};
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> d(-20000, 20000);
  for (double& x : s.samples) x = d(rng) / 32768.0;
  return s;
}

class Render : public ::testing::Test {
 protected:
  CommandResult render(const std::string& arguments) const {
    return runCommand(VELTRANE_HOST_PATH " render " VELTRANE_PLUGIN_PATH " " + arguments);
  }
  std::string at(const char* name) const { return (dir.path() / name).string(); }
  void write(const char* name, const AudioData& data) const {
    std::string error;
    ASSERT_TRUE(writeAudioFile(at(name), data, error)) << error;
  }
  TempDir dir;
};

// With the bands off the plug-in is a pure delay, whatever the file, loop and block size.
TEST_F(Render, FilesKeepTheirFormatAndPassUnchangedWithTheEqualiserOff) {
  const struct {
    const char *in, *out;
    int rate, channels, format;
    const char* options;
    int outChannels, latency;
  } cases[] = {
      {"a.wav", "a-out.wav", 44100, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, "", 2, 46},
      {"b.flac", "b-out.flac", 48000, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "--double --block 17",
       1, 48},
      {"c.aiff", "c-out.aif", 96000, 2, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "--mono --block 1000", 1,
       64},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    const AudioData in = noise(c.rate, c.channels, c.format, 5000);
    write(c.in, in);
    const CommandResult run =
        render(at(c.in) + " " + at(c.out) + " --set \"EQ all=0\" " + c.options);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("latency " + std::to_string(c.latency) + " samples"));
    AudioData out;
    std::string error;
    ASSERT_TRUE(readAudioFile(at(c.out), out, error)) << error;
    ASSERT_EQ(std::tuple(out.format, out.rate, out.channels, out.samples.size()),
              std::tuple(c.format, c.rate, c.outChannels, std::size_t{5000} * c.outChannels));
    for (std::size_t i = 0; i < 5000; ++i)
      for (int ch = 0; ch < out.channels; ++ch) {
        const double expected = i < static_cast<std::size_t>(c.latency)
                                    ? 0.0
                                    : in.samples[(i - c.latency) * c.channels + ch];
        ASSERT_EQ(out.samples[i * out.channels + ch], expected) << "frame " << i;
      }
  }
}

// A failed render reports why and leaves the output as it was, with no stray files.
TEST_F(Render, FailuresExplainAndOverwriteNothing) {
  std::ofstream(at("text.wav")) << "not audio at all";
  write("quad.wav", noise(44100, 4, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 100));
  write("ok.wav", noise(44100, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 100));
  const std::string ok = at("ok.wav") + " " + at("out.wav");
  const struct {
    std::string arguments;
    const char* message;
  } cases[] = {
      {at("missing.wav") + " " + at("out.wav"), "cannot read"},
      {at("text.wav") + " " + at("out.wav"), "cannot read"},
      {at("quad.wav") + " " + at("out.wav"), "unsupported channel count 4"},
      {at("ok.wav") + " " + at("out.flac"), "keeps the input's file type"},
      {ok + " --set Nonsense=1", "no parameter \"Nonsense\""},
      {ok + " --set HPF=2", "normalised value from 0 to 1"},
      {ok + " --preset Nowhere", "no preset named \"Nowhere\""},
      {ok + " --rate 48000", "--rate"},
      {at("out.mp3"), "write .wav"},
      {at("ok.wav") + " " + at("no-such-dir/out.wav"), "cannot write"},
  };
  for (const auto& c : cases) {
    std::ofstream(at("out.wav")) << "previous contents";
    const CommandResult run = render(c.arguments);
    EXPECT_NE(run.status, 0) << c.arguments;
    EXPECT_THAT(run.output, HasSubstr(c.message)) << c.arguments;
    std::ifstream previous(at("out.wav"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), {}), "previous contents")
        << c.arguments;
  }
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_THAT(entry.path().string(), Not(HasSubstr(".partial-")));
}

}  // namespace
