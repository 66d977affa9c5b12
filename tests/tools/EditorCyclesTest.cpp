// A host's view of opening and closing an editor many times while audio runs on another
// thread: a real window on a private X server, the plug-in loaded in this process.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/OpenDescriptors.h"
#include "AudioThread.h"
#include "HostWindow.h"
#include "PluginHost.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

namespace {

constexpr int kCycles = 50;
constexpr int kIdlesPerCycle = 3;

long residentKilobytes() {
  long kilobytes = -1;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "VmRSS: %ld kB", &kilobytes) == 1) break;
    std::fclose(f);
  }
  return kilobytes;
}

class EditorCycles : public ::testing::TestWithParam<const char*> {
 public:
  static void SetUpTestSuite() {
    server = new XvfbServer;
    home = new TempDir;
    if (server->running()) setenv("DISPLAY", server->display().c_str(), 1);
    // The plug-in may read and write its preferences: never the user's own.
    setenv("HOME", home->path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home->path() / "config").c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete server;
    delete home;
    server = nullptr;
    home = nullptr;
  }

 protected:
  static XvfbServer* server;
  static TempDir* home;
};

XvfbServer* EditorCycles::server = nullptr;
TempDir* EditorCycles::home = nullptr;

TEST_P(EditorCycles, FiftyOpenCloseCyclesWithAudioRunningLeaveNoDescriptorBehind) {
  if (!server->running()) GTEST_SKIP() << XvfbServer::skipReason();
  std::string error;
  auto host = PluginHost::load(GetParam(), error);
  ASSERT_TRUE(host) << error;
  AEffect* effect = host->effect();
  ASSERT_TRUE(effect->flags & effFlagsHasEditor);
  ERect* rect = nullptr;
  ASSERT_TRUE(host->dispatch(effEditGetRect, 0, 0, &rect) && rect);
  auto window =
      HostWindow::open("cycles", rect->right - rect->left, rect->bottom - rect->top, error);
  ASSERT_TRUE(window) << error;
  host->start();
  AudioThread audio(effect, 44100.0, 512);
  audio.start();

  int overlapped = 0;
  auto cycle = [&] {
    const bool opened = host->dispatch(effEditOpen, 0, 0,
                                       reinterpret_cast<void*>(std::uintptr_t{window->id()})) == 1;
    const long long blocksAtOpen = audio.blocksProcessed();
    // The window stays open until the audio thread has processed a block meanwhile, so the
    // two really overlap in every cycle.
    for (int i = 0; i < kIdlesPerCycle || (audio.blocksProcessed() == blocksAtOpen && i < 500);
         ++i) {
      if (i >= kIdlesPerCycle) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      window->handleEvents();
      host->dispatch(effEditIdle);
      effect->setParameter(effect, 6, (i % 2) ? 0.25f : 0.75f);  // a host automating meanwhile
    }
    overlapped += audio.blocksProcessed() > blocksAtOpen;
    host->dispatch(effEditClose);
    return opened;
  };
  ASSERT_TRUE(cycle());  // the first open loads what stays loaded (fonts, bitmaps)
  const int descriptors = countOpenDescriptors();
  const long kilobytes = residentKilobytes();
  const long long blocksBefore = audio.blocksProcessed();
  const auto start = std::chrono::steady_clock::now();
  int opened = 0;
  overlapped = 0;
  for (int i = 0; i < kCycles; ++i) opened += cycle();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long long blocks = audio.blocksProcessed() - blocksBefore;
  audio.stop();
  host->stop();

  EXPECT_EQ(opened, kCycles);
  EXPECT_EQ(overlapped, kCycles) << "audio ran while the window was open in every cycle";
  EXPECT_EQ(countOpenDescriptors(), descriptors);
  const long grown = residentKilobytes() - kilobytes;
#ifndef __SANITIZE_ADDRESS__
  // Under AddressSanitizer freed memory waits in quarantine; leaks are LeakSanitizer's to find.
  EXPECT_LT(grown, 4096) << "resident memory grew by " << grown << " kB";
#endif
  std::printf(
      "%d cycles in %.2f s (%.1f ms each); descriptors %d; resident memory %+ld kB; %lld audio "
      "blocks\n",
      kCycles, seconds, 1000.0 * seconds / kCycles, descriptors, grown, blocks);
}

INSTANTIATE_TEST_SUITE_P(Plugins, EditorCycles,
                         ::testing::Values(FIXTURE_EDITOR, VELTRANE_PLUGIN_PATH),
                         [](const auto& info) {
                           return std::string(info.index == 0 ? "FixtureEditor" : "Veltrane");
                         });

}  // namespace
