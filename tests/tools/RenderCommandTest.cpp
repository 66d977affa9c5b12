// `veltrane-host render`, run as a user runs it, on files made here.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status;
  std::string output;
};

Outcome render(const std::string& arguments) {
  const std::string command = std::string(VELTRANE_HOST_PATH) + " render " + VELTRANE_PLUGIN_PATH +
                              " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Outcome run{-1, ""};
  if (!pipe) return run;
  char line[512];
  while (fgets(line, sizeof line, pipe)) run.output += line;
  run.status = pclose(pipe);
  return run;
}

struct Sound {
  int rate = 0, channels = 0, format = 0;
  std::vector<float> samples;
};

void writeSound(const fs::path& path, const Sound& s) {
  SF_INFO info{};
  info.samplerate = s.rate;
  info.channels = s.channels;
  info.format = s.format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
  sf_writef_float(f, s.samples.data(), static_cast<sf_count_t>(s.samples.size() / s.channels));
  sf_close(f);
}

Sound readSound(const fs::path& path) {
  SF_INFO info{};
  Sound s;
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return s;
  s.rate = info.samplerate;
  s.channels = info.channels;
  s.format = info.format;
  s.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(f, s.samples.data(), info.frames);
  sf_close(f);
  return s;
}

Sound noiseSound(int rate, int channels, int format, int frames) {
  Sound s{rate, channels, format, std::vector<float>(static_cast<std::size_t>(frames * channels))};
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> d(-20000, 20000);
  for (float& x : s.samples) x = d(rng) / 32768.0f;  // exact in every format used here
  return s;
}

class Render : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt-render-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string at(const char* name) const { return (dir / name).string(); }
  fs::path dir;
};

TEST_F(Render, DemoSignalThroughThePlugin) {
  const Outcome run = render(at("demo.wav") + " --set SAT=1 --set HPF=1");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("latency 46 samples"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("output right peak"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("real-time factor"), std::string::npos) << run.output;
  const Sound out = readSound(at("demo.wav"));
  EXPECT_EQ(out.channels, 2);
  EXPECT_EQ(out.rate, 44100);
  EXPECT_EQ(out.samples.size(), 2u * 6 * 44100);
  float peak = 0.0f;
  for (float x : out.samples) peak = std::max(peak, std::fabs(x));
  EXPECT_GT(peak, 0.3f);
  EXPECT_LE(peak, 0.994f);  // saturation on
}

// With the bands off the plug-in is a pure delay, whatever the file, loop and block size.
TEST_F(Render, FilesKeepTheirFormatAndPassUnchangedWithTheEqualiserOff) {
  const struct {
    const char* in;
    const char* out;
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
    writeSound(at(c.in), noiseSound(c.rate, c.channels, c.format, 5000));
    const Sound in = readSound(at(c.in));  // as the file holds it
    const Outcome run = render(at(c.in) + " " + at(c.out) + " --set \"EQ all=0\" " + c.options);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("latency " + std::to_string(c.latency) + " samples"),
              std::string::npos);
    const Sound out = readSound(at(c.out));
    ASSERT_EQ(out.format, c.format) << c.in;
    ASSERT_EQ(out.rate, c.rate);
    ASSERT_EQ(out.channels, c.outChannels);
    const std::size_t frames = out.samples.size() / out.channels;
    ASSERT_EQ(frames, 5000u);
    for (std::size_t i = 0; i < frames; ++i) {
      for (int ch = 0; ch < out.channels; ++ch) {
        const float expected = i < static_cast<std::size_t>(c.latency)
                                   ? 0.0f
                                   : in.samples[(i - c.latency) * c.channels + ch];
        ASSERT_EQ(out.samples[i * out.channels + ch], expected) << c.in << " frame " << i;
      }
    }
  }
}

// A failed render reports why and leaves the output as it was, with no stray files.
TEST_F(Render, FailuresExplainAndOverwriteNothing) {
  std::ofstream(at("text.wav")) << "not audio at all";
  writeSound(at("quad.wav"), noiseSound(44100, 4, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 100));
  writeSound(at("ok.wav"), noiseSound(44100, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 100));
  const struct {
    std::string arguments;
    const char* message;
  } cases[] = {
      {at("missing.wav") + " " + at("out.wav"), "cannot read"},
      {at("text.wav") + " " + at("out.wav"), "cannot read"},
      {at("quad.wav") + " " + at("out.wav"), "unsupported channel count 4"},
      {at("ok.wav") + " " + at("out.flac"), "keeps the input's file type"},
      {at("ok.wav") + " " + at("out.wav") + " --set Nonsense=1", "no parameter \"Nonsense\""},
      {at("ok.wav") + " " + at("out.wav") + " --set HPF=2", "normalised value from 0 to 1"},
      {at("ok.wav") + " " + at("out.wav") + " --preset Nowhere", "no preset named \"Nowhere\""},
      {at("ok.wav") + " " + at("out.wav") + " --rate 48000", "--rate"},
      {at("out.mp3"), "write .wav"},
      {at("ok.wav") + " " + at("no-such-dir/out.wav"), "cannot write"},
  };
  for (const auto& c : cases) {
    std::ofstream(at("out.wav")) << "previous contents";
    const Outcome run = render(c.arguments);
    EXPECT_NE(run.status, 0) << c.arguments;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n" << run.output;
    std::ifstream previous(at("out.wav"));
    std::string contents((std::istreambuf_iterator<char>(previous)),
                         std::istreambuf_iterator<char>());
    EXPECT_EQ(contents, "previous contents") << c.arguments;
  }
  for (const auto& entry : fs::directory_iterator(dir)) {
    EXPECT_EQ(entry.path().string().find(".partial-"), std::string::npos) << entry.path();
  }
}

}  // namespace
