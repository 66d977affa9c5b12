// Veltrane's editor in veltrane-host's window on a private X server, used with the mouse as a
// user would: what they click is what the host hears, what they see is what the editor drew,
// and a preset saved through the panel loads back into a fresh instance.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "VeltraneWindowSupport.h"
#include "editor/ADEditor.h"
#include "gui/CFrame.h"
#include "plugin/Veltrane.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using namespace veltranewindow;

TEST_F(VeltraneWindow, ClickingTheEqButtonTogglesEqAllForTheHost) {
  Session s = open({"--no-audio"});
  ASSERT_TRUE(s.window);
  ASSERT_TRUE(captureWhenSettled(s.window).width);
  ASSERT_TRUE(click(s.window, 678, 30));
  EXPECT_TRUE(s.process->waitForLine(is("automate 0 0"), 5s)) << s.process->output();
  // 6 px away from the first click, so it is no double click.
  ASSERT_TRUE(click(s.window, 684, 34));
  EXPECT_TRUE(s.process->waitForLine(is("automate 0 1"), 5s)) << s.process->output();
  ASSERT_EQ(close(s), 0) << s.process->errors();
  const std::string out = s.process->output();
  std::size_t at = out.find("beginEdit 0\nautomate 0 0\nendEdit 0\n");
  EXPECT_NE(at, std::string::npos) << out;
  EXPECT_NE(out.find("beginEdit 0\nautomate 0 1\nendEdit 0\n", at), std::string::npos) << out;
}

TEST_F(VeltraneWindow, DraggingABandKnobChangesTheRingOrTheCentreByWhereItStarts) {
  Session s = open({"--no-audio"});
  ASSERT_TRUE(s.window);
  ASSERT_TRUE(captureWhenSettled(s.window).width);
  // Centres (209, 111), (328, 111), (447, 111), (568, 111), radius 23: a drag starting 30 px
  // from the centre turns the ring (frequency), one starting at the centre the gain.
  const struct {
    const char* what;
    int x, y;
    int changed, untouched;
  } drags[] = {
      {"LM ring", 358, 111, 17, 19},      {"LM centre", 328, 111, 19, 17},
      {"LF ring", 209, 141, 13, 15},      {"HM centre", 449, 113, 23, 21},
      {"HF ring", 568 - 30, 111, 25, 27},
  };
  for (const auto& d : drags) {
    SCOPED_TRACE(d.what);
    const std::size_t from = s.process->output().size();
    ASSERT_TRUE(drag(s.window, d.x, d.y, d.x, d.y - 40));
    // The gesture is announced for the parameter the drag changes, never the knob's tag.
    const auto end = "endEdit " + std::to_string(d.changed);
    ASSERT_TRUE(s.process->waitForLine(is(end), 5s, from)) << s.process->output().substr(from);
    const std::string gesture = s.process->output().substr(from);
    EXPECT_EQ(gesture.rfind("beginEdit " + std::to_string(d.changed) + "\n", 0), 0u) << gesture;
    EXPECT_NE(gesture.find("automate " + std::to_string(d.changed) + " "), std::string::npos)
        << gesture;
    EXPECT_EQ(gesture.find("automate " + std::to_string(d.untouched) + " "), std::string::npos)
        << gesture;
  }
  EXPECT_EQ(close(s), 0);
}

TEST_F(VeltraneWindow, AClipLightsTheLedUntilItIsLeftClicked) {
  Session s = open({"--clip"});  // the burst comes a second after the window opened
  ASSERT_TRUE(s.window);
  const PixelImage off = crop(captureWhenSettled(s.window), kClipLed);
  ASSERT_TRUE(off.width);
  const PixelImage lit =
      watch(s.window, kClipLed, [&](const PixelImage& now) { return !same(now, off); });
  ASSERT_FALSE(same(lit, off)) << "the clip never showed";
  // A quarter second of clipping, then silence: the LED stays held.
  std::this_thread::sleep_for(500ms);
  const PixelImage held = crop(captureWhenSettled(s.window), kClipLed);
  EXPECT_FALSE(same(held, off)) << "the clip was not held";

  ASSERT_TRUE(click(s.window, 720, 65, 3));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(same(crop(capture(s.window), kClipLed), held)) << "a right click cleared it";

  ASSERT_TRUE(click(s.window, 720, 65));
  const PixelImage cleared =
      watch(s.window, kClipLed, [&](const PixelImage& now) { return same(now, off); });
  EXPECT_TRUE(same(cleared, off)) << "a left click did not clear it";
  EXPECT_EQ(close(s), 0);
}

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetSampleRate:
      return 44100;
    case audioMasterGetBlockSize:
      return 512;
    default:
      return 0;
  }
}

TEST_F(VeltraneWindow, TheScreenshotIsWhatTheEditorDrewIntoItsBackBufferAtEveryFactor) {
  const struct {
    const char* factor;
    int width, height;
  } factors[] = {{"1", 778, 248}, {"1.5", 1167, 372}, {"2", 1556, 496}};
  for (const auto& f : factors) {
    SCOPED_TRACE(f.factor);
    const fs::path shot = home.path() / "editor.png";
    auto run = startEditor(VELTRANE_PLUGIN_PATH,
                           {"--no-audio", "--seconds", "0.5", "--screenshot", shot.string()},
                           {{"VELTRANE_UI_SCALE", f.factor}});
    ASSERT_EQ(run->wait(10s), 0) << run->errors();
    PixelImage screen;
    std::string error;
    ASSERT_TRUE(readPng(shot.string(), screen, error)) << error;
    ASSERT_EQ(screen.width, f.width);
    ASSERT_EQ(screen.height, f.height);

    // The same editor in this process, on a frame without a window, set up as the host set up
    // its instance: a fresh preference folder, 44.1 kHz, blocks of 512, resumed.
    TempDir settings;
    ScopedEnv home{"HOME", settings.path().c_str()};
    ScopedEnv config{"XDG_CONFIG_HOME", (settings.path() / "config").c_str()};
    ScopedEnv scale{"VELTRANE_UI_SCALE", f.factor};
    auto effect = std::make_unique<Veltrane>(quietHost);
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.f);
    e->dispatcher(e, effSetBlockSize, 0, 512, nullptr, 0.f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.f);
    auto* editor = dynamic_cast<ADEditor*>(effect->getEditor());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->open(nullptr));
    editor->idle();
    CFrame* frame = editor->getFrame();
    frame->invalid();
    frame->render();
    cairo_surface_t* back = frame->getBackBuffer();
    cairo_surface_flush(back);
    const unsigned char* data = cairo_image_surface_get_data(back);
    const int stride = cairo_image_surface_get_stride(back);

    int differences = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x) {
        const uint32_t drawn = reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xffffff;
        if (drawn != screen.at(x, y) && differences++ == 0) firstX = x, firstY = y;
      }
    EXPECT_EQ(differences, 0) << "the first at (" << firstX << ", " << firstY << ")";
    editor->close();
  }
}

TEST_F(VeltraneWindow, APresetSavedFromThePanelLoadsIntoAFreshInstance) {
  // A stand-in for the desktop's file dialog: it notes how it was called and answers with a
  // path (with a space in it, as users' paths have).
  const fs::path preset = home.path() / "My Preset.zal";
  const fs::path calls = home.path() / "dialog-calls";
  const fs::path dialog = home.path() / "dialog.sh";
  {
    std::ofstream script(dialog);
    script << "#!/bin/sh\necho \"$*\" >> '" << calls.string() << "'\nprintf '%s\\n' '"
           << preset.string() << "'\n";
  }
  fs::permissions(dialog, fs::perms::owner_all);
  const ChildProcess::Environment environment{{"VELTRANE_DIALOG_PROGRAM", dialog.string()}};

  // EQ off, so the saved preset differs from the factory one, then "save preset".
  Session first = open({"--no-audio"}, environment);
  ASSERT_TRUE(first.window);
  const PixelImage eqOn = crop(captureWhenSettled(first.window), kEqButton);
  ASSERT_TRUE(click(first.window, 678, 30));
  ASSERT_TRUE(first.process->waitForLine(is("automate 0 0"), 5s));
  const PixelImage eqOff =
      watch(first.window, kEqButton, [&](const PixelImage& now) { return !same(now, eqOn); });
  ASSERT_FALSE(same(eqOff, eqOn));
  ASSERT_TRUE(click(first.window, 97, 239));
  for (int i = 0; i < 250 && !fs::exists(preset); ++i) std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(fs::exists(preset)) << first.process->errors();
  EXPECT_EQ(close(first), 0);
  EXPECT_GT(fs::file_size(preset), 0u);

  // A fresh instance starts with EQ on and, after "load preset", shows it off.
  Session second = open({"--no-audio", "--print-parameters"}, environment);
  ASSERT_TRUE(second.window);
  EXPECT_TRUE(same(crop(captureWhenSettled(second.window), kEqButton), eqOn));
  ASSERT_TRUE(click(second.window, 156, 239));
  EXPECT_TRUE(
      same(watch(second.window, kEqButton, [&](const PixelImage& now) { return same(now, eqOff); }),
           eqOff))
      << "the loaded preset did not reach the window";
  EXPECT_EQ(close(second), 0);
  EXPECT_NE(second.process->output().find("parameter 0 0 "), std::string::npos)
      << second.process->output();

  std::ifstream log(calls);
  const std::string called((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  const std::size_t save = called.find("Save preset");
  EXPECT_NE(save, std::string::npos) << called;
  EXPECT_NE(called.find("Load preset", save), std::string::npos) << called;
}

}  // namespace
