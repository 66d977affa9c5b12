#pragma once

#include <functional>
#include <string>

#include "validate/CheckReport.h"

// How a check's process ended: what it reported, and, when it did not end normally, how it
// ended instead (a signal, an exit status, no progress in time) and at which step.
struct CheckEnding {
  int passes = 0;
  int failures = 0;
  int skips = 0;
  std::string abnormal;  // empty when the process ran to its end and exited with 0
};

// Runs `body` in a child process of its own, so that a plug-in that crashes or hangs ends only
// that process. Each line the check reports reaches `onLine` as it comes (kind: PASS, FAIL,
// WARN or SKIP). A check whose step count stands still for `stallSeconds` is killed.
CheckEnding runCheckProcess(
    const std::function<void(CheckReport&)>& body, double stallSeconds,
    const std::function<void(const std::string& kind, const std::string& text)>& onLine);
