#include "platform/XPlatDocumentOpener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

extern char** environ;

namespace {

std::mutex programMutex;
std::string programOverride;

constexpr const char* kDefaultProgram = "xdg-open";

bool isExistingFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A host may run with its own library folders (bundled toolkits); the viewer must use the
// system's.
std::vector<std::string> childEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
    if (std::strncmp(*entry, "LD_LIBRARY_PATH=", 16) != 0) entries.emplace_back(*entry);
  return entries;
}

// Spawn attributes and file actions, released however the spawn ends.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

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
  std::string program = getProgram();
  std::vector<std::string> arguments{program, path};
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = childEnvironment();
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  // The viewer may outlive the host's session; it must not hold the host's files, sockets or
  // devices open, nor die with the host's terminal.
  posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
  // Nor inherit what the host's thread blocks or ignores: the desktop must be able to end it.
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&setup.attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&setup.attributes, &signals);
  posix_spawnattr_setflags(&setup.attributes,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t child = 0;
  int error = posix_spawnp(&child, program.c_str(), &setup.actions, &setup.attributes, argv.data(),
                           envp.data());
  if (error != 0) {
    std::fprintf(stderr, "Veltrane: could not start %s: %s\n", program.c_str(),
                 std::strerror(error));
    return false;
  }
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
