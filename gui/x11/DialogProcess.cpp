#include "gui/x11/DialogProcess.h"

#include "platform/SpawnChild.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr size_t kMaxOutput = 64 * 1024;
}

DialogProcess::~DialogProcess() { closePipe(); }

bool DialogProcess::start(const std::vector<std::string>& argv) {
  if (pid > 0 || argv.empty()) return false;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;

  pid_t child = -1;
  // Desktop dialogs chatter on stderr (theme and settings warnings); not into the host's log.
  const int rc =
      spawnChild(argv, SpawnChildOptions{.stdoutFd = fds[1], .quietStderr = true}, child);
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
