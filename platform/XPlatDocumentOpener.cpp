#include "platform/XPlatDocumentOpener.h"

#include "platform/SpawnChild.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex programMutex;
std::string programOverride;

constexpr const char* kDefaultProgram = "xdg-open";

bool isExistingFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

XPlatDocumentOpener::~XPlatDocumentOpener() { collectFailures(); }

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
  const std::string program = getProgram();
  pid_t child = 0;
  // The viewer may outlive the host's session and must not die with the host's terminal.
  if (spawnChild({program, path}, SpawnChildOptions{.newSession = true}, child) != 0) return false;
  running.push_back(child);
  return true;
}

int XPlatDocumentOpener::collectFailures() {
  int failures = 0;
  auto finished = [&failures](pid_t child) {
    int status = 0;
    pid_t result = 0;
    do {
      result = waitpid(child, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return false;
    // A host that reaps children itself (SIGCHLD ignored) leaves the outcome unknown; only a
    // known failure is reported.
    if (result == child && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) ++failures;
    return true;
  };
  running.erase(std::remove_if(running.begin(), running.end(), finished), running.end());
  return failures;
}
