#pragma once

#include <atomic>
#include <cstddef>
#include <string>

// What a check tells the validator while it runs in a process of its own. The step it is at
// lives in memory shared with the validator, so that it survives a crash and shows a hang;
// findings go down a pipe as they come, one line each.
class CheckReport {
 public:
  static constexpr std::size_t kStepTextSize = 240;
  // Shared with the validator: every step() counts, so a count that stands still is a hang.
  struct Progress {
    std::atomic<unsigned long> steps{0};
    char text[kStepTextSize] = {};
  };

  CheckReport(Progress& progress, int pipe) : progress_(progress), pipe_(pipe) {}
  CheckReport(const CheckReport&) = delete;
  CheckReport& operator=(const CheckReport&) = delete;

  // What the check is about to do, in a few words; printf-style.
  void step(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // A step that changes nothing to report; for loops that must show they are alive.
  void tick() { progress_.steps.fetch_add(1, std::memory_order_relaxed); }

  void pass(const std::string& detail) { send("PASS", detail); }
  void fail(const std::string& detail);
  void warn(const std::string& detail) { send("WARN", detail); }
  void skip(const std::string& why) { send("SKIP", why); }
  bool failed() const { return failures_ > 0; }

 private:
  static constexpr int kFailuresShown = 8;
  void send(const char* kind, const std::string& text);

  Progress& progress_;
  int pipe_;
  int failures_ = 0;
};

// printf into a std::string.
std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
