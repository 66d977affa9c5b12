// `veltrane-host editor` run as a user runs it: its options and failures, and on a private X
// server the window it gives a small fixture editor, the idle it drives, the audio it plays
// meanwhile, the notifications it prints and the screenshot it saves.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "EditorOptions.h"
#include "PixelImage.h"
#include "HostEditorTestSupport.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kFixtureBackground = 0x2060a0, kFixtureMarker = 0xe0c020;

// What the fixture reports on stderr when the host closes it.
struct FixtureReport {
  bool found = false;
  int opened = 0, closed = 0, idles = 0;
  double seconds = 0.0, peak = 0.0;
  long long blocks = 0;
  std::string audioThread, editorThread;
};

FixtureReport fixtureReport(const std::string& errors) {
  FixtureReport r;
  const std::size_t at = errors.find("fixture opened=");
  if (at == std::string::npos) return r;
  char audio[16] = "", editor[16] = "";
  r.found = std::sscanf(errors.c_str() + at,
                        "fixture opened=%d closed=%d idles=%d seconds=%lf blocks=%lld "
                        "audio-thread=%15s editor-thread=%15s peak=%lf",
                        &r.opened, &r.closed, &r.idles, &r.seconds, &r.blocks, audio, editor,
                        &r.peak) == 8;
  r.audioThread = audio;
  r.editorThread = editor;
  return r;
}

// The lines of `text` in order, each required to appear after the previous one.
bool inOrder(const std::string& text, const std::vector<std::string>& lines) {
  std::size_t at = 0;
  for (const auto& line : lines) {
    at = text.find(line + "\n", at);
    if (at == std::string::npos) return false;
    at += line.size();
  }
  return true;
}

TEST(EditorOptions, ParsesWhatAUserTypesAndRefusesMistakesWithAReason) {
  EditorOptions options;
  std::string error;
  ASSERT_TRUE(parseEditorOptions({"--seconds", "2.5", "p.so", "--screenshot", "s.png", "--clip"},
                                 options, error))
      << error;
  EXPECT_EQ(options.plugin, "p.so");
  EXPECT_EQ(options.screenshot, "s.png");
  EXPECT_EQ(options.seconds, 2.5);
  EXPECT_TRUE(options.audio && options.clip);

  const struct {
    std::vector<std::string> words;
    std::string reason;
  } table[] = {
      {{"a.so", "b.so"}, "exactly one PLUGIN.so"},
      {{"p.so", "--seconds"}, "--seconds needs a value"},
      {{"p.so", "--seconds", "-1"}, "not \"-1\""},
      {{"p.so", "--seconds", "inf"}, "not \"inf\""},
      {{"p.so", "--seconds", "2s"}, "not \"2s\""},
      {{"p.so", "--screenshot", ""}, "needs a file name"},
      {{"p.so", "--clip", "--no-audio"}, "cannot go with --no-audio"},
      {{"p.so", "--fullscreen"}, "unknown option --fullscreen"},
  };
  for (const auto& row : table) {
    EXPECT_FALSE(parseEditorOptions(row.words, options, error)) << row.reason;
    EXPECT_NE(error.find(row.reason), std::string::npos) << error;
  }
}

using EditorCommand = HostEditorTest;

TEST_F(EditorCommand, FailsClearlyWithoutAnEditorOrADisplay) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<std::string> display;
    int status;
    std::string message;
  } table[] = {
      {{FIXTURE_EDITOR, "--seconds", "x"}, ":0", 2, "--seconds takes"},
      {{"/nonexistent/Nothing.so"}, ":0", 1, "cannot load"},
      {{FIXTURE_MAIN_ONLY}, ":0", 1, "has no editor"},
      {{FIXTURE_EDITOR}, std::nullopt, 1, "DISPLAY is not set"},
      {{FIXTURE_EDITOR}, ":4711", 1, "cannot connect to the X display \":4711\""},
  };
  for (const auto& row : table) {
    auto child = start(row.arguments, row.display);
    EXPECT_EQ(child->wait(10s), row.status) << row.message;
    EXPECT_NE(child->errors().find(row.message), std::string::npos) << child->errors();
    EXPECT_EQ(child->output().find("window"), std::string::npos);
  }
}

using EditorWindow = HostEditorWindowTest;

TEST_F(EditorWindow, ShowsTheEditorInANamedWindowAndSavesWhatItShows) {
  const std::string shot = (home.path() / "shot.png").string();
  auto editor =
      startEditor(FIXTURE_EDITOR, {"--seconds", "1.5", "--screenshot", shot, "--print-parameters"});
  const auto line = editor->waitForLineStartingWith("window 0x", 10s);
  ASSERT_TRUE(line) << editor->errors();
  EXPECT_NE(line->find(" 200x120"), std::string::npos) << *line;
  const uint32_t window = windowId(*line);

  // The fixture turns a click into automation of parameter 0 (x / width); it sees the click
  // only if the host keeps calling its idle.
  ASSERT_TRUE(click(window, 50, 60));
  EXPECT_TRUE(editor->waitForLine([](const std::string& l) { return l == "automate 0 0.25"; }, 5s));

  ASSERT_EQ(editor->wait(10s), 0) << editor->errors();
  const std::string out = editor->output();
  EXPECT_TRUE(inOrder(out, {"beginEdit 1", "automate 1 0.25", "endEdit 1", "updateDisplay"}))
      << out;
  EXPECT_TRUE(inOrder(out, {"beginEdit 0", "automate 0 0.25", "endEdit 0", "wrote " + shot,
                            "parameter 0 0.25 p0", "parameter 1 0.25 p1"}))
      << out;

  PixelImage image;
  std::string error;
  ASSERT_TRUE(readPng(shot, image, error)) << error;
  ASSERT_EQ(image.width, 200);
  ASSERT_EQ(image.height, 120);
  // The marker's corners and the pixels just outside them: the picture is the window's, in place.
  for (auto [x, y] : {std::pair{120, 70}, {159, 99}})
    EXPECT_EQ(image.at(x, y), kFixtureMarker) << x << "," << y;
  for (auto [x, y] : {std::pair{0, 0}, {119, 70}, {160, 99}, {199, 119}})
    EXPECT_EQ(image.at(x, y), kFixtureBackground) << x << "," << y;

  const FixtureReport report = fixtureReport(editor->errors());
  ASSERT_TRUE(report.found) << editor->errors();
  EXPECT_EQ(report.opened, 1);
  EXPECT_EQ(report.closed, 1) << "the editor is closed before the effect";
  EXPECT_EQ(report.editorThread, "kept") << "open, idle and close come from one thread";
  const double rate = report.idles / report.seconds;
  EXPECT_GT(rate, 24.0) << report.idles << " idles in " << report.seconds << " s";
  EXPECT_LT(rate, 34.0) << report.idles << " idles in " << report.seconds << " s";
  // Meanwhile quiet noise, about 86 blocks of 512 a second at 44.1 kHz, on a thread of its own.
  EXPECT_GE(report.blocks, 80);
  EXPECT_LE(report.blocks, 190);
  EXPECT_GE(report.peak, 0.001);
  EXPECT_LE(report.peak, 0.011);
  EXPECT_EQ(report.audioThread, "own");
}

TEST_F(EditorWindow, CopesWithEditorsThatSizeLateResizeOrFailToOpen) {
  const struct {
    const char* mode;
    int status;
    std::string expectedOutput;  // empty: no window line
    std::string expectedError;
    int width, height;
  } table[] = {
      {"fail-open", 1, "", "the plug-in's editor did not open", 0, 0},
      {"late-size", 0, "window 0x", "", 200, 120},
      {"resize", 0, "sizeWindow 300 160", "", 300, 160},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.mode);
    const std::string shot = (home.path() / (std::string(row.mode) + ".png")).string();
    auto editor = startEditor(FIXTURE_EDITOR, {"--seconds", "0.5", "--screenshot", shot},
                              {{"FIXTURE_EDITOR_MODE", row.mode}});
    ASSERT_EQ(editor->wait(10s), row.status) << editor->errors();
    const FixtureReport report = fixtureReport(editor->errors());
    ASSERT_TRUE(report.found) << editor->errors();
    EXPECT_EQ(report.opened, report.closed);
    if (row.expectedOutput.empty()) {
      EXPECT_EQ(editor->output().find("window"), std::string::npos);
      EXPECT_NE(editor->errors().find(row.expectedError), std::string::npos) << editor->errors();
      EXPECT_FALSE(fs::exists(shot));
      continue;
    }
    EXPECT_NE(editor->output().find(row.expectedOutput), std::string::npos) << editor->output();
    PixelImage image;
    std::string error;
    ASSERT_TRUE(readPng(shot, image, error)) << error;
    EXPECT_EQ(image.width, row.width);
    EXPECT_EQ(image.height, row.height);
    EXPECT_EQ(image.at(row.width - 1, row.height - 1), kFixtureBackground);
  }
}

// (Closing from the window manager ends every run of the plug-in's own editor.)
TEST_F(EditorWindow, AStopSignalEndsTheRunInOrder) {
  const std::string shot = (home.path() / "closed.png").string();
  auto editor = startEditor(FIXTURE_EDITOR, {"--seconds", "30", "--screenshot", shot});
  ASSERT_TRUE(editor->waitForLineStartingWith("window 0x", 10s)) << editor->errors();
  const auto started = std::chrono::steady_clock::now();
  kill(editor->pid(), SIGTERM);
  ASSERT_EQ(editor->wait(10s), 0) << editor->errors();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
  EXPECT_TRUE(fs::exists(shot));
  const FixtureReport report = fixtureReport(editor->errors());
  EXPECT_EQ(report.opened, 1);
  EXPECT_EQ(report.closed, 1);
}

}  // namespace
