#include "EditorCommand.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "AudioThread.h"
#include "HostWindow.h"
#include "PluginHost.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kIdlePeriod = std::chrono::microseconds(1000000 / 30);
constexpr int kFallbackWidth = 400, kFallbackHeight = 300;  // for editors that size late
constexpr int kLargestSide = 8192;
constexpr double kSampleRate = 44100.0;
constexpr int kBlockSize = 512;
// An automated parameter goes from 0 to 1 and back in this time.
constexpr double kAutomationPeriodSeconds = 4.0;
// Time enough to see the editor drawn before the clip burst lights anything.
constexpr auto kClipAfter = std::chrono::seconds(1);
// The editor draws on a connection of its own: what it sent must reach the server before the
// host asks the server for the picture.
constexpr auto kDrawingTime = std::chrono::milliseconds(50);

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void requestStop(int) { gStopRequested = 1; }

// Ctrl+C or a kill closes the editor as the window's close button would.
class StopSignals {
 public:
  StopSignals() {
    gStopRequested = 0;
    struct sigaction action {};
    action.sa_handler = requestStop;
    action.sa_flags = SA_RESTART;  // the plug-in's own waits go on; ours wakes up anyway
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInterrupt_);
    sigaction(SIGTERM, &action, &oldTerminate_);
  }
  ~StopSignals() {
    sigaction(SIGINT, &oldInterrupt_, nullptr);
    sigaction(SIGTERM, &oldTerminate_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction oldInterrupt_ {
  }, oldTerminate_{};
};

// The names hosts and plug-in makers use for the notifications, without their prefix.
const char* notificationName(VstInt32 opcode) {
  switch (opcode) {
    case audioMasterAutomate:
      return "automate";
    case audioMasterIdle:
      return "idle";
    case audioMasterWantMidi:
      return "wantMidi";
    case audioMasterProcessEvents:
      return "processEvents";
    case audioMasterIOChanged:
      return "ioChanged";
    case audioMasterSizeWindow:
      return "sizeWindow";
    case audioMasterVendorSpecific:
      return "vendorSpecific";
    case audioMasterUpdateDisplay:
      return "updateDisplay";
    case audioMasterBeginEdit:
      return "beginEdit";
    case audioMasterEndEdit:
      return "endEdit";
    case audioMasterOpenFileSelector:
      return "openFileSelector";
    case audioMasterCloseFileSelector:
      return "closeFileSelector";
    default:
      return "opcode";
  }
}

std::string describe(const PluginHost::Notification& n) {
  char line[128];
  switch (n.opcode) {
    case audioMasterAutomate:
      std::snprintf(line, sizeof line, "automate %d %.9g", n.index, static_cast<double>(n.opt));
      break;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
      std::snprintf(line, sizeof line, "%s %d", notificationName(n.opcode), n.index);
      break;
    case audioMasterSizeWindow:
      std::snprintf(line, sizeof line, "sizeWindow %d %lld", n.index,
                    static_cast<long long>(n.value));
      break;
    case audioMasterIOChanged:
    case audioMasterUpdateDisplay:
    case audioMasterIdle:
      std::snprintf(line, sizeof line, "%s", notificationName(n.opcode));
      break;
    default:
      std::snprintf(line, sizeof line, "%s %d %d %lld %.9g", notificationName(n.opcode), n.opcode,
                    n.index, static_cast<long long>(n.value), static_cast<double>(n.opt));
      break;
  }
  return line;
}

// Prints what the plug-in tells the host as it happens (from the window thread or the audio
// thread) and passes window size requests to the window thread.
class HostCallPrinter : public PluginHost::Listener {
 public:
  explicit HostCallPrinter(std::ostream& out) : out_(out) {}
  void notified(const PluginHost::Notification& notification) override {
    const std::string line = describe(notification);
    std::lock_guard lock(mutex_);
    out_ << line << std::endl;
  }
  bool resizeEditor(int width, int height) override {
    if (width > kLargestSide || height > kLargestSide) return false;
    std::lock_guard lock(mutex_);
    requestedSize_ = {width, height};
    return true;
  }
  std::optional<std::pair<int, int>> takeRequestedSize() {
    std::lock_guard lock(mutex_);
    return std::exchange(requestedSize_, std::nullopt);
  }
  void print(const std::string& line) {
    std::lock_guard lock(mutex_);
    out_ << line << std::endl;
  }

 private:
  std::ostream& out_;
  std::mutex mutex_;
  std::optional<std::pair<int, int>> requestedSize_;
};

bool editorSize(const PluginHost& host, int& width, int& height) {
  ERect* rect = nullptr;
  if (!host.dispatch(effEditGetRect, 0, 0, &rect) || !rect) return false;
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  if (w <= 0 || h <= 0 || w > kLargestSide || h > kLargestSide) return false;
  width = w;
  height = h;
  return true;
}

std::string effectName(const PluginHost& host, const std::string& path) {
  std::string name = host.text(effGetEffectName);
  if (name.empty()) name = host.text(effGetProductString);
  if (name.empty()) name = path.substr(path.find_last_of('/') + 1);
  return name;
}

std::string trimmed(std::string text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "parameter INDEX VALUE", then what the plug-in calls it and shows for it.
void printParameters(const PluginHost& host, HostCallPrinter& printer) {
  AEffect* e = host.effect();
  for (int i = 0; i < e->numParams; ++i) {
    char value[32];
    std::snprintf(value, sizeof value, "%.9g", static_cast<double>(e->getParameter(e, i)));
    std::string line = "parameter " + std::to_string(i) + " " + value;
    const std::string name = trimmed(host.text(effGetParamName, i));
    const std::string shown = trimmed(trimmed(host.text(effGetParamDisplay, i)) + " " +
                                      trimmed(host.text(effGetParamLabel, i)));
    if (!name.empty()) line += " " + name;
    if (!shown.empty()) line += (name.empty() ? " " : ": ") + shown;
    printer.print(line);
  }
}

// Idles the editor 30 times a second while handling the window's own events, until the
// window is closed, a stop signal comes or the time is up.
void driveEditor(const PluginHost& host, HostWindow& window, HostCallPrinter& printer,
                 AudioThread* audio, const EditorOptions& options) {
  const auto start = Clock::now();
  const Clock::time_point deadline =
      options.seconds >= 0.0 ? start + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>(options.seconds))
                             : Clock::time_point::max();
  auto nextIdle = start;
  bool clipPending = audio && options.clip;
  while (window.handleEvents() && !gStopRequested) {
    if (auto size = printer.takeRequestedSize()) window.resize(size->first, size->second);
    auto now = Clock::now();
    if (clipPending && now >= start + kClipAfter) {
      audio->clip();
      clipPending = false;
    }
    if (now >= nextIdle) {
      if (options.automate >= 0) {
        // A triangle, as a host playing back an automation lane moves a control.
        const double phase = std::fmod(
            std::chrono::duration<double>(now - start).count() / kAutomationPeriodSeconds, 1.0);
        const float value = static_cast<float>(phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase);
        AEffect* effect = host.effect();
        effect->setParameter(effect, options.automate, value);
      }
      host.dispatch(effEditIdle);
      nextIdle += kIdlePeriod;
      if (nextIdle < now) nextIdle = now + kIdlePeriod;  // the editor was slow: no catching up
      now = Clock::now();
    }
    if (now >= deadline) break;
    const auto wake = std::min(nextIdle, deadline);
    window.waitForEvents(std::chrono::duration_cast<std::chrono::milliseconds>(wake - now) +
                         std::chrono::milliseconds(1));
  }
}

// What the editor shows now: one more idle, and time for its window to be drawn.
bool saveScreenshot(const PluginHost& host, HostWindow& window, const std::string& path,
                    std::string& error) {
  host.dispatch(effEditIdle);
  std::this_thread::sleep_for(kDrawingTime);
  PixelImage image;
  return window.capture(image, error) && writePng(image, path, error);
}

}  // namespace

int runEditor(const EditorOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  auto host = PluginHost::load(options.plugin, error);
  if (!host) {
    err << "veltrane-host: " << error << "\n";
    return 1;
  }
  AEffect* effect = host->effect();
  if (!(effect->flags & effFlagsHasEditor)) {
    err << "veltrane-host: " << options.plugin << " has no editor\n";
    return 1;
  }
  if (options.automate >= effect->numParams) {
    err << "veltrane-host: --automate " << options.automate << ": the plug-in has "
        << effect->numParams << " parameters\n";
    return 1;
  }
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    err << "veltrane-host: the editor needs an X display, and DISPLAY is not set\n";
    return 1;
  }

  HostCallPrinter printer(out);
  host->setListener(&printer);
  struct Unlisten {
    PluginHost& host;
    ~Unlisten() { host.setListener(nullptr); }
  } unlisten{*host};

  host->setSampleRate(kSampleRate);
  host->setBlockSize(kBlockSize);
  host->start();
  const bool canProcess = (effect->flags & effFlagsCanReplacing) && effect->processReplacing;
  std::optional<AudioThread> audio;
  if (options.audio && canProcess) {
    audio.emplace(effect, kSampleRate, kBlockSize);
    audio->start();
  } else if (options.audio) {
    err << "veltrane-host: the plug-in cannot process replacing; the editor runs without audio\n";
  }

  int width = kFallbackWidth, height = kFallbackHeight;
  const bool sizedBeforeOpen = editorSize(*host, width, height);
  auto window = HostWindow::open(effectName(*host, options.plugin), width, height, error);
  int status = 0;
  if (!window) {
    err << "veltrane-host: " << error << "\n";
    status = 1;
  } else if (!host->dispatch(effEditOpen, 0, 0,
                             reinterpret_cast<void*>(static_cast<std::uintptr_t>(window->id())))) {
    err << "veltrane-host: the plug-in's editor did not open\n";
    status = 1;
  } else {
    StopSignals signals;
    // Some editors know their size only once they are open.
    if (editorSize(*host, width, height) &&
        (width != window->width() || height != window->height()))
      window->resize(width, height);
    else if (!sizedBeforeOpen)
      err << "veltrane-host: the editor does not tell its size; the window stays " << kFallbackWidth
          << " x " << kFallbackHeight << "\n";
    char line[64];
    std::snprintf(line, sizeof line, "window 0x%x %dx%d", window->id(), window->width(),
                  window->height());
    printer.print(line);

    driveEditor(*host, *window, printer, audio ? &*audio : nullptr, options);

    if (!options.screenshot.empty() && !saveScreenshot(*host, *window, options.screenshot, error)) {
      err << "veltrane-host: no screenshot: " << error << "\n";
      status = 1;
    } else if (!options.screenshot.empty()) {
      printer.print("wrote " + options.screenshot);
    }
    if (options.printParameters) printParameters(*host, printer);
    host->dispatch(effEditClose);
  }
  window.reset();
  if (audio) audio->stop();
  host->stop();
  return status;
}
