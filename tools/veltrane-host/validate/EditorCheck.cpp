// The editor opened and closed 50 times in a window of the validator's own while audio runs:
// nothing crashes, and each close leaves no window and no descriptor behind.
#include <dirent.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "AudioThread.h"
#include "HostWindow.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr int kCycles = 50;
constexpr int kIdlesPerCycle = 3;
constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kFallbackWidth = 400, kFallbackHeight = 300;
constexpr int kLargestSide = 8192;
// The editor destroys its windows on a connection of its own; the server may take a moment
// to get to that.
constexpr auto kWindowsGone = std::chrono::seconds(2);
constexpr auto kSettle = std::chrono::milliseconds(100);

int openDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (const dirent* entry = readdir(d))
      if (entry->d_name[0] != '.') ++n;
    closedir(d);
  }
  return n;
}

// Waits for the windows a closed editor leaves to go; how many are left.
int windowsLeft(HostWindow& window) {
  const auto until = std::chrono::steady_clock::now() + kWindowsGone;
  int left = window.childCount();
  while (left != 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    left = window.childCount();
  }
  return left;
}

}  // namespace

void checkEditor(CheckContext& context) {
  auto host = context.load();
  if (!host) return;
  AEffect* e = host->effect();
  if (!(e->flags & effFlagsHasEditor)) {
    context.report.skip("the plug-in has no editor");
    return;
  }
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    context.report.skip("DISPLAY is not set");
    return;
  }
  int width = kFallbackWidth, height = kFallbackHeight;
  ERect* rect = nullptr;
  if (host->dispatch(effEditGetRect, 0, 0, &rect) && rect && rect->right > rect->left &&
      rect->bottom > rect->top && rect->right - rect->left <= kLargestSide &&
      rect->bottom - rect->top <= kLargestSide) {
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
  }
  std::string error;
  context.report.step("opening the validator's window");
  auto window = HostWindow::open("veltrane-host validate", width, height, error);
  if (!window) {
    context.report.skip(error);
    return;
  }
  CheckContext::start(*host, kRate, kBlock);
  AudioThread audio(e, kRate, kBlock);
  audio.start();

  auto cycle = [&](int n) {
    context.report.step("editor cycle %d: opening", n);
    const bool opened = host->dispatch(effEditOpen, 0, 0,
                                       reinterpret_cast<void*>(std::uintptr_t{window->id()})) != 0;
    for (int i = 0; i < kIdlesPerCycle; ++i) {
      window->handleEvents();
      host->dispatch(effEditIdle);
    }
    context.report.step("editor cycle %d: closing", n);
    host->dispatch(effEditClose);
    window->handleEvents();
    if (!opened) context.report.fail(formatted("cycle %d: the editor did not open", n));
    const int left = windowsLeft(*window);
    if (left != 0)
      context.report.fail(formatted("cycle %d: the closed editor left %d windows", n, left));
    return opened && left == 0;
  };
  if (!cycle(0)) return;  // the first open loads what stays loaded (fonts, bitmaps)
  const int descriptors = openDescriptors();
  const long long blocksBefore = audio.blocksProcessed();
  int done = 0;
  while (done < kCycles && cycle(done + 1)) ++done;
  const long long blocks = audio.blocksProcessed() - blocksBefore;
  audio.stop();
  host->stop();
  // A window the last close left may reach the server only now.
  std::this_thread::sleep_for(kSettle);
  const int left = window->childCount();
  if (left != 0) context.report.fail(formatted("after %d cycles %d windows are left", done, left));
  const int descriptorsAfter = openDescriptors();
  if (descriptorsAfter != descriptors)
    context.report.fail(
        formatted("%d open descriptors before the editor cycles, %d after %d of them", descriptors,
                  descriptorsAfter, done));
  if (!context.report.failed())
    context.report.pass(
        formatted("%d open/close cycles with audio running (%lld blocks): no window left, "
                  "descriptors %d -> %d",
                  kCycles, blocks, descriptors, descriptorsAfter));
}
