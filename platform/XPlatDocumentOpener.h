#pragma once

// Opens a document with the desktop's default viewer (xdg-open). The opener runs as a child
// process started from an argument vector, never through a shell. Some desktops keep the
// opener running for as long as the viewer is open, so nothing here ever waits for it:
// finished openers are collected by polling, and a non-zero exit counts as a failure.

#include <string>
#include <sys/types.h>
#include <vector>

class XPlatDocumentOpener {
 public:
  // The environment variable that replaces the opener program (tests, unusual desktops).
  static constexpr const char* kProgramVariable = "VELTRANE_OPEN_PROGRAM";

  XPlatDocumentOpener() = default;
  XPlatDocumentOpener(const XPlatDocumentOpener&) = delete;
  XPlatDocumentOpener& operator=(const XPlatDocumentOpener&) = delete;
  // Collects the openers that have finished. One still running is left alone: it may be the
  // very viewer the user is reading in.
  ~XPlatDocumentOpener();

  // Starts the opener for an existing file. False, with nothing started, when the file does
  // not exist or the program cannot be started.
  bool open(const std::string& path);
  // Reaps the openers that have ended, without blocking; the number that failed.
  int collectFailures();
  bool isBusy() const { return !running.empty(); }

  // Replaces the program (tests); null or "" returns to the environment variable, then
  // "xdg-open" from PATH.
  static void setProgram(const char* program);
  static std::string getProgram();

 private:
  std::vector<pid_t> running;
};
