#include "validate/CheckProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPollMilliseconds = 50;

CheckReport::Progress* sharedProgress() {
  static CheckReport::Progress* progress = [] {
    void* memory = mmap(nullptr, sizeof(CheckReport::Progress), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : new (memory) CheckReport::Progress;
  }();
  return progress;
}

// Splits what came down the pipe into lines and hands each on with its kind.
class LineReader {
 public:
  LineReader(CheckEnding& ending,
             const std::function<void(const std::string&, const std::string&)>& onLine)
      : ending_(ending), onLine_(onLine) {}
  // False once the pipe has nothing more to give (closed, or empty when not blocking).
  bool readFrom(int fd) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) return true;
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      handle(pending_.substr(0, end));
      pending_.erase(0, end + 1);
    }
    return true;
  }

 private:
  void handle(const std::string& line) {
    const std::string kind = line.substr(0, 4);
    const std::string text = line.size() > 5 ? line.substr(5) : "";
    if (kind == "PASS") ++ending_.passes;
    if (kind == "FAIL") ++ending_.failures;
    if (kind == "SKIP") ++ending_.skips;
    onLine_(kind, text);
  }
  CheckEnding& ending_;
  const std::function<void(const std::string&, const std::string&)>& onLine_;
  std::string pending_;
};

std::string describeStatus(int status) {
  if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    const char* name = sigabbrev_np(signal);
    return std::string("was killed by SIG") + (name ? name : "?") + " (" + strsignal(signal) + ")";
  }
  return "exited with status " + std::to_string(WEXITSTATUS(status)) +
         " (what it said is on standard error)";
}

[[noreturn]] void runChild(const std::function<void(CheckReport&)>& body, int pipe) {
  CheckReport report(*sharedProgress(), pipe);
  try {
    body(report);
  } catch (const std::exception& e) {
    report.fail(std::string("the check stopped on an exception: ") + e.what());
  }
  // A normal exit, so that a sanitizer built into the host can still report (leaks, races)
  // and set the exit status.
  report.step("exiting, after the check");
  std::exit(0);
}

}  // namespace

CheckEnding runCheckProcess(
    const std::function<void(CheckReport&)>& body, double stallSeconds,
    const std::function<void(const std::string&, const std::string&)>& onLine) {
  CheckEnding ending;
  CheckReport::Progress* progress = sharedProgress();
  int fds[2];
  if (!progress || pipe2(fds, O_CLOEXEC) != 0) {
    ending.abnormal = "could not start: no shared memory or pipe";
    return ending;
  }
  progress->steps.store(0);
  std::strcpy(progress->text, "starting");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    // Standard output is the validator's report: what the plug-in prints goes with the errors.
    dup2(STDERR_FILENO, STDOUT_FILENO);
    runChild(body, fds[1]);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    ending.abnormal = std::string("could not start a process: ") + std::strerror(errno);
    return ending;
  }

  LineReader reader(ending, onLine);
  unsigned long steps = progress->steps.load();
  auto lastProgress = Clock::now();
  int status = 0;
  bool hung = false;
  bool pipeOpen = true;
  // The child's end is judged by waitpid, not by the pipe: a helper the plug-in started may
  // hold the pipe open after the child has gone.
  while (waitpid(pid, &status, WNOHANG) == 0) {
    pollfd fd{fds[0], POLLIN, 0};
    if (pipeOpen && poll(&fd, 1, kPollMilliseconds) > 0)
      pipeOpen = reader.readFrom(fds[0]);
    else if (!pipeOpen)
      usleep(kPollMilliseconds * 1000);
    const unsigned long now = progress->steps.load(std::memory_order_acquire);
    if (now != steps) {
      steps = now;
      lastProgress = Clock::now();
    } else if (Clock::now() - lastProgress > std::chrono::duration<double>(stallSeconds)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      hung = true;
      break;
    }
  }
  fcntl(fds[0], F_SETFL, O_NONBLOCK);
  while (pipeOpen && reader.readFrom(fds[0])) {
  }
  close(fds[0]);

  const std::string step(progress->text, strnlen(progress->text, sizeof progress->text));
  const bool verdict = ending.passes + ending.failures + ending.skips > 0;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g", stallSeconds);
  if (hung) {
    ending.abnormal =
        std::string("made no progress for ") + seconds + " s and was stopped, at: " + step;
  } else if (WIFSIGNALED(status) || WEXITSTATUS(status) != 0) {
    ending.abnormal = describeStatus(status) + ", at: " + step;
  } else if (!verdict) {
    ending.abnormal = "ended without a verdict, at: " + step;
  }
  return ending;
}
