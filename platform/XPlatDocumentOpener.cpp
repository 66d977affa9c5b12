#include "platform/XPlatDocumentOpener.h"

#include "platform/SpawnChild.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::mutex programMutex;
std::string programOverride;

constexpr const char* kDefaultProgram = "xdg-open";

// Runs the opener ($1) on the document ($2) without giving it the report pipe, then writes
// its exit status into the pipe (descriptor 3).
constexpr const char* kWatcherScript = "\"$1\" \"$2\" 3>&-; echo $? >&3";

bool isExistingFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

XPlatDocumentOpener::~XPlatDocumentOpener() {
  for (Opening& opening : running) {
    if (opening.reportFd >= 0) close(opening.reportFd);
    if (opening.started <= 0) continue;
    // setsid ends as soon as it has forked, so waiting for it is brief; a watcher run
    // without it is only collected if it has ended.
    pid_t result = 0;
    do {
      result = waitpid(opening.started, nullptr, opening.detached ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
  }
}

void XPlatDocumentOpener::setProgram(const char* program) {
  std::lock_guard<std::mutex> lock(programMutex);
  programOverride = program != nullptr ? program : "";
}

std::string XPlatDocumentOpener::getProgram() {
  {
    std::lock_guard<std::mutex> lock(programMutex);
    if (!programOverride.empty()) return programOverride;
  }
  const char* fromEnvironment = std::getenv(kProgramVariable);
  if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') return fromEnvironment;
  return kDefaultProgram;
}

bool XPlatDocumentOpener::open(const std::string& path) {
  if (!isExistingFile(path)) return false;
  const std::string program = findProgram(getProgram());
  if (program.empty()) {
    std::fprintf(stderr, "Veltrane: could not find %s\n", getProgram().c_str());
    return false;
  }
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  std::vector<std::string> argv;
  const std::string setsid = findProgram("setsid");
  if (!setsid.empty()) argv = {setsid, "-f"};
  argv.insert(argv.end(), {"/bin/sh", "-c", kWatcherScript, "veltrane-opener", program, path});
  pid_t child = 0;
  // The viewer may outlive the host's session and must not die with the host's terminal.
  const int error = spawnChild(
      argv, SpawnChildOptions{.newSession = setsid.empty(), .reportFd = report[1]}, child);
  close(report[1]);
  if (error != 0) {
    close(report[0]);
    return false;
  }
  fcntl(report[0], F_SETFL, fcntl(report[0], F_GETFL) | O_NONBLOCK);
  running.push_back({child, !setsid.empty(), report[0], false});
  return true;
}

bool XPlatDocumentOpener::settle(Opening& opening) {
  if (opening.started > 0) {
    int status = 0;
    pid_t result = 0;
    do {
      result = waitpid(opening.started, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    // A host that reaps children itself (SIGCHLD ignored) leaves the outcome unknown; only a
    // known failure (setsid could not start the watcher) counts.
    if (result == opening.started && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
      opening.failed = true;
    if (result != 0) opening.started = 0;
  }
  if (opening.reportFd >= 0) {
    char line[16];
    const ssize_t n = read(opening.reportFd, line, sizeof line - 1);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return false;
    // The opener's exit status as a number; no report (the watcher was killed) is no verdict.
    if (n > 0) {
      line[n] = '\0';
      if (std::strtol(line, nullptr, 10) != 0) opening.failed = true;
    }
    close(opening.reportFd);
    opening.reportFd = -1;
  }
  return opening.started == 0;
}

int XPlatDocumentOpener::collectFailures() {
  int failures = 0;
  auto finished = [&failures](Opening& opening) {
    if (!settle(opening)) return false;
    if (opening.failed) ++failures;
    return true;
  };
  running.erase(std::remove_if(running.begin(), running.end(), finished), running.end());
  return failures;
}
