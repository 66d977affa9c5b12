#pragma once

// Opens a document with the desktop's default viewer (xdg-open). Some desktops keep the opener
// running for as long as the viewer is open, and the viewer may outlive the plug-in instance,
// so nothing here ever waits for it, and it is never left as the host's child: a small
// /bin/sh watcher, detached from the host by util-linux's "setsid -f", runs the opener (program
// and path are its arguments, never read as shell text) and reports the exit status through a
// pipe, which is polled. Once the instance is gone the system collects watcher and opener. The
// host's own children and signal handling are never touched.

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
  // Stops listening; an opener still running is left alone: it may be the very viewer the
  // user is reading in.
  ~XPlatDocumentOpener();

  // Starts the opener for an existing file. False, with nothing started, when the file does
  // not exist or the program cannot be found.
  bool open(const std::string& path);
  // Collects the reports of openers that have ended, without blocking; the number that failed.
  int collectFailures();
  bool isBusy() const { return !running.empty(); }

  // Replaces the program (tests); null or "" returns to the environment variable, then
  // "xdg-open" from PATH.
  static void setProgram(const char* program);
  static std::string getProgram();

 private:
  struct Opening {
    // The process started from here: setsid, which ends as soon as it has detached the
    // watcher (or, on a system without setsid, the watcher itself); 0 once collected.
    pid_t started = 0;
    bool detached = false;
    // The watcher's report; -1 once read.
    int reportFd = -1;
    bool failed = false;
  };
  // Collects what has arrived for one opening; true once nothing more is to come.
  static bool settle(Opening& opening);

  std::vector<Opening> running;
};
