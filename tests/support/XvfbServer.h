#pragma once

// A private X server (Xvfb) for window tests, on a display number it finds free itself so
// parallel test programs do not meet. It resets nothing when clients leave (-noreset) and
// listens on no TCP port. A server that could not start (Xvfb or xdotool missing) leaves running()
// false: the tests then skip with skipReason().

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <poll.h>

#include <string>

#include "tests/support/TempDir.h"

class XvfbServer {
 public:
  XvfbServer() {
    if (access("/usr/bin/Xvfb", X_OK) != 0 || access("/usr/bin/xdotool", X_OK) != 0) return;
    // Xvfb picks a free display itself and names it on the pipe once it accepts clients.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return;
    const pid_t parent = getpid();
    const std::string readyFd = std::to_string(ready[1]);
    pid_ = fork();
    if (pid_ == 0) {
      // A test program that crashes takes its server with it.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) _exit(1);
      const int devnull = open("/dev/null", O_WRONLY);
      dup2(devnull, 1);
      dup2(devnull, 2);
      // Nothing of the user's own is read or written.
      setenv("HOME", home_.path().c_str(), 1);
      setenv("XDG_CONFIG_HOME", home_.path().c_str(), 1);
      fcntl(ready[1], F_SETFD, 0);  // kept open across exec
      execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", readyFd.c_str(), "-screen", "0", "1600x1200x24",
            "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    pollfd fd{ready[0], POLLIN, 0};
    // Read up to its newline: a display of ":" and the number.
    std::string display = ":";
    char c = 0;
    while (poll(&fd, 1, 10000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') display += c;
    close(ready[0]);
    if (c == '\n' && display.size() > 1) display_ = display;
    if (display_.empty()) stop();
  }
  ~XvfbServer() { stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool running() const { return pid_ > 0; }
  const std::string& display() const { return display_; }
  static const char* skipReason() {
    return "Xvfb or xdotool not installed (scripts/install-deps.sh installs them)";
  }

 private:
  void stop() {
    if (pid_ > 0 && kill(pid_, SIGTERM) == 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  TempDir home_;
  pid_t pid_ = -1;
  std::string display_;
};
