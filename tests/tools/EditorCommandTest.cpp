// `veltrane-host editor` run as a user runs it: its options and failures, and on a private X
// server the window it gives the fixture's editor, the idle it drives, the audio it plays
// meanwhile, the notifications it prints and the screenshot it saves.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "HostTestSupport.h"

namespace {

using EditorCommand = HostEditorTest;

TEST_F(EditorCommand, FailsClearlyOnMistakesWithoutAnEditorOrADisplay) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string message;
    ChildProcess::Environment environment = {};
  } table[] = {
      {{FIXTURE_PLUGIN, "--seconds", "x"}, 2, "--seconds takes"},
      {{"a.so", "b.so"}, 2, "exactly one PLUGIN.so"},
      {{"p.so", "--seconds"}, 2, "--seconds needs a value"},
      {{"p.so", "--seconds", "-1"}, 2, "not \"-1\""},
      {{"p.so", "--seconds", "inf"}, 2, "not \"inf\""},
      {{"p.so", "--seconds", "2s"}, 2, "not \"2s\""},
      {{"p.so", "--automate", "-1"}, 2, "--automate takes a parameter number, not \"-1\""},
      {{"p.so", "--screenshot", ""}, 2, "needs a file name"},
      {{"p.so", "--clip", "--no-audio"}, 2, "cannot go with --no-audio"},
      {{"p.so", "--fullscreen"}, 2, "unknown option --fullscreen"},
      {{"/nonexistent/Nothing.so"}, 1, "cannot load"},
      {{FIXTURE_MAIN_ONLY}, 1, "has no editor"},
      {{FIXTURE_PLUGIN, "--automate", "3"}, 1, "--automate 3: the plug-in has 3 parameters"},
      {{FIXTURE_PLUGIN}, 1, "DISPLAY is not set", {{"DISPLAY", std::nullopt}}},
      {{FIXTURE_PLUGIN}, 1, "cannot connect to the X display \":4711\"", {{"DISPLAY", ":4711"}}},
      {{FIXTURE_PLUGIN}, 1, "the plug-in's editor did not open", {{"FIXTURE_FAULT", "fail-open"}}},
  };
  for (const auto& row : table) {
    auto child = start(row.arguments, row.environment);
    EXPECT_EQ(child->wait(10s), row.status) << row.message;
    EXPECT_THAT(child->errors(), HasSubstr(row.message));
    EXPECT_THAT(child->output(), Not(HasSubstr("window")));
  }
}

// An editor that tells its size only once open, until a stop signal (closing from the window
// manager ends every run of Veltrane's editor).
TEST_F(EditorCommand, ShowsTheEditorSavesWhatItShowsAndEndsInOrderOnAStopSignal) {
  const std::string shot = (home.path() / "shot.png").string();
  auto editor = start({FIXTURE_PLUGIN, "--screenshot", shot, "--print-parameters"},
                      {{"FIXTURE_FAULT", "late-size"}});
  const auto line = editor->waitForLine(isWindow, 10s);
  ASSERT_TRUE(line) << editor->errors();
  EXPECT_THAT(*line, HasSubstr(" 200x120"));
  // The fixture turns a click into automation of parameter 0 (x / width); it sees the click
  // only if the host keeps calling its idle.
  ASSERT_TRUE(click(windowId(*line), 50, 60));
  EXPECT_TRUE(editor->waitForLine(is("automate 0 0.25"), 5s));
  std::this_thread::sleep_for(1s);
  const auto stopped = std::chrono::steady_clock::now();
  kill(editor->pid(), SIGTERM);
  ASSERT_EQ(editor->wait(10s), 0) << editor->errors();
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, 3s);
  // In this order, other lines between them.
  using ::testing::ContainsRegex;
  EXPECT_THAT(editor->output(),
              ContainsRegex("beginEdit 1\n.*automate 1 0.25\n.*endEdit 1\n.*updateDisplay\n"));
  EXPECT_THAT(
      editor->output(),
      ContainsRegex("beginEdit 0\n.*automate 0 0.25\n.*endEdit 0\n.*wrote .*/shot.png\n"
                    ".*parameter 0 0.25 Gain: 0.250 dB\n.*parameter 1 0.25 Smooth: 0.250 %"));

  PixelImage image;
  std::string error;
  ASSERT_TRUE(readPng(shot, image, error)) << error;
  // The plug-in's window, all of it in the fixture's colour.
  EXPECT_TRUE(same(image, {200, 120, std::vector<uint32_t>(200 * 120, 0x2060a0)}));

  // What the fixture saw of the host. Meanwhile quiet noise, about 86 blocks of 512 a second at
  // 44.1 kHz, on a thread of its own.
  // The editor is closed before the effect; open, idle and close come from one thread, audio
  // from another.
  const std::string errors = editor->errors();
  EXPECT_THAT(errors, HasSubstr("fixture opened=1 closed=1 idles="));
  EXPECT_THAT(errors, HasSubstr(" audio-thread=own editor-thread=kept peak="));
  const std::size_t report = errors.find(" idles=");
  ASSERT_NE(report, std::string::npos) << errors;
  int idles = 0;
  double seconds = 0.0, peak = 0.0;
  long long blocks = 0;
  ASSERT_EQ(
      std::sscanf(errors.c_str() + report, " idles=%d seconds=%lf blocks=%lld %*s %*s peak=%lf",
                  &idles, &seconds, &blocks, &peak),
      4)
      << errors;
  EXPECT_GT(seconds, 1.0);
  EXPECT_NEAR(idles / seconds, 30, 5) << idles << " idles";
  EXPECT_NEAR(blocks / seconds, 86, 30) << blocks << " blocks";
  EXPECT_GE(peak, 0.001);
  EXPECT_LE(peak, 0.011);
}

}  // namespace
