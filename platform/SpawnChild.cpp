#include "platform/SpawnChild.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

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

constexpr int kReportFd = STDERR_FILENO + 1;

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string findProgram(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return isExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  const std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  for (std::size_t begin = 0; begin <= folders.size();) {
    std::size_t end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = folders.substr(begin, end - begin);
    if (!folder.empty() && isExecutableFile(folder + "/" + name)) return folder + "/" + name;
    begin = end + 1;
  }
  return {};
}

int spawnChild(const std::vector<std::string>& argv, const SpawnChildOptions& options,
               pid_t& child) {
  if (argv.empty()) return EINVAL;
  std::vector<char*> args;
  for (const std::string& argument : argv) args.push_back(const_cast<char*>(argument.c_str()));
  args.push_back(nullptr);
  // Hosts that bundle their own libraries set LD_LIBRARY_PATH; the program must use the
  // system's.
  std::vector<char*> environment;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
    if (std::strncmp(*entry, "LD_LIBRARY_PATH=", 16) != 0) environment.push_back(*entry);
  environment.push_back(nullptr);

  SpawnSetup setup;
  // Descriptors the child keeps go first: a host running without standard input or output
  // may have been given descriptor 0 or 1 for them.
  if (options.reportFd >= 0)
    posix_spawn_file_actions_adddup2(&setup.actions, options.reportFd, kReportFd);
  if (options.stdoutFd >= 0)
    posix_spawn_file_actions_adddup2(&setup.actions, options.stdoutFd, STDOUT_FILENO);
  else
    posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (options.quietStderr)
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(
      &setup.actions, options.reportFd >= 0 ? kReportFd + 1 : STDERR_FILENO + 1);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&setup.attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&setup.attributes, &signals);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (options.newSession) flags |= POSIX_SPAWN_SETSID;
  posix_spawnattr_setflags(&setup.attributes, flags);

  // With a "/" in the name, posix_spawnp runs that file without searching.
  const int error = posix_spawnp(&child, args[0], &setup.actions, &setup.attributes, args.data(),
                                 environment.data());
  if (error != 0)
    std::fprintf(stderr, "Veltrane: could not start %s: %s\n", args[0], std::strerror(error));
  return error;
}
