#include "gui/x11/DialogProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
constexpr size_t kMaxOutput = 64 * 1024;
}

DialogProcess::~DialogProcess() { terminate(); }

bool DialogProcess::start(const std::vector<std::string>& argv) {
  if (pid > 0 || argv.empty()) return false;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // Desktop dialogs chatter on stderr (theme and settings warnings); not into the host's log.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // The host's files, sockets and devices stay the host's, however long the dialog stays up.
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // Whatever the host's thread blocks or ignores, the dialog starts as any program does, so
  // it can be asked to end.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // Hosts that bundle their own libraries set LD_LIBRARY_PATH; the dialog must not see it.
  std::vector<char*> env;
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, "LD_LIBRARY_PATH=", 16) != 0) env.push_back(*e);
  env.push_back(nullptr);

  pid_t child = -1;
  const int rc =
      argv[0].find('/') != std::string::npos
          ? posix_spawn(&child, args[0], &actions, &attributes, args.data(), env.data())
          : posix_spawnp(&child, args[0], &actions, &attributes, args.data(), env.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return false;
  }
  pid = child;
  pipeFd = fds[0];
  fcntl(pipeFd, F_SETFL, fcntl(pipeFd, F_GETFL) | O_NONBLOCK);
  output.clear();
  exitStatus = -1;
  return true;
}

void DialogProcess::readAvailable() {
  if (pipeFd < 0) return;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(pipeFd, buffer, sizeof(buffer));
    if (n > 0) {
      if (output.size() < kMaxOutput)
        output.append(buffer, std::min(static_cast<size_t>(n), kMaxOutput - output.size()));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) closePipe();
    return;
  }
}

void DialogProcess::closePipe() {
  if (pipeFd >= 0) close(pipeFd);
  pipeFd = -1;
}

bool DialogProcess::poll() {
  if (pid <= 0) return true;
  readAvailable();
  int status = 0;
  const pid_t r = waitpid(pid, &status, WNOHANG);
  if (r == 0) return false;
  if (r == pid) exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  // r < 0: the host reaps children itself (SIGCHLD ignored); the output still tells.
  pid = -1;
  readAvailable();
  closePipe();
  return true;
}

void DialogProcess::terminate() {
  if (pid > 0) {
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50 && waitpid(pid, &status, WNOHANG) == 0; ++i) usleep(10000);
    if (waitpid(pid, &status, WNOHANG) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    pid = -1;
  }
  closePipe();
}
