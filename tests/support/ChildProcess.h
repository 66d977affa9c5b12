#pragma once

// A program run by a test: its standard output is read as it comes, so the test can wait for a
// line (a window id, a notification) instead of sleeping, and then for the exit; its standard
// error goes to a file of its own. A child still running when the object goes is killed.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

class ChildProcess {
 public:
  using Clock = std::chrono::steady_clock;
  // Environment changes: a value replaces or adds the variable, nullopt removes it.
  using Environment = std::map<std::string, std::optional<std::string>>;

  ChildProcess(const std::vector<std::string>& argv, const Environment& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      if (!changes.count(std::string(*e, std::strcspn(*e, "=")))) env.push_back(*e);
    for (const auto& [name, value] : changes)
      if (value) env.push_back(name + "=" + *value);
    std::vector<char*> args, envp;
    for (const auto& word : argv) args.push_back(const_cast<char*>(word.c_str()));
    for (auto& entry : env) envp.push_back(entry.data());
    args.push_back(nullptr);
    envp.push_back(nullptr);
    int out[2];
    errors_ = std::tmpfile();
    if (!errors_ || fcntl(fileno(errors_), F_SETFD, FD_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fileno(errors_), 2);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    outFd_ = out[0];
  }
  ~ChildProcess() {
    if (pid_ > 0 && !exited_ && kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
    if (outFd_ >= 0) close(outFd_);
    if (errors_) std::fclose(errors_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }

  // The first whole line of standard output after `from` bytes that satisfies `match`, or
  // nullopt if none came in time (or the output ended first).
  std::optional<std::string> waitForLine(const std::function<bool(const std::string&)>& match,
                                         std::chrono::milliseconds timeout, std::size_t from = 0) {
    const auto deadline = Clock::now() + timeout;
    for (std::size_t start = from;;) {
      for (std::size_t end; (end = out_.find('\n', start)) != std::string::npos; start = end + 1)
        if (match(out_.substr(start, end - start))) return out_.substr(start, end - start);
      if (outFd_ < 0 || Clock::now() >= deadline) return std::nullopt;
      pump(deadline);
    }
  }

  // The exit status as the shell shows it (128 + signal for a killed child), or -1 when the
  // child did not end in time (it is then killed).
  int wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return -1;
    const auto deadline = Clock::now() + timeout;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        exited_ = true;
        return -1;
      }
      pump(Clock::now() + std::chrono::milliseconds(10));
    }
    exited_ = true;
    // What it wrote last; a stand-in it left behind may hold the pipe a while longer.
    pump(Clock::now() + std::chrono::seconds(2), true);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  std::string output() {
    pump(Clock::now());
    return out_;
  }
  std::string errors() const {
    std::string text;
    char buffer[4096];
    for (ssize_t n; errors_ && (n = pread(fileno(errors_), buffer, sizeof buffer,
                                          static_cast<off_t>(text.size()))) > 0;)
      text.append(buffer, static_cast<std::size_t>(n));
    return text;
  }

 private:
  // Reads what standard output has until the deadline, or until its end.
  void pump(Clock::time_point deadline, bool toTheEnd = false) {
    while (outFd_ >= 0) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      pollfd fd{outFd_, POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0) return;
      char buffer[4096];
      const ssize_t n = read(outFd_, buffer, sizeof buffer);
      if (n > 0) out_.append(buffer, static_cast<std::size_t>(n));
      if (n <= 0) close(std::exchange(outFd_, -1));
      if (!toTheEnd) deadline = Clock::now();  // then only what is there already
    }
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int outFd_ = -1;
  std::FILE* errors_ = nullptr;
  std::string out_;
};

// A shell command's exit status (as the shell shows it) and everything it printed, both streams.
struct CommandResult {
  int status;
  std::string output;
};
inline CommandResult runCommand(const std::string& command) {
  ChildProcess child({"/bin/sh", "-c", command + " 2>&1"}, {});
  const int status = child.wait(std::chrono::minutes(4));
  return {status, child.output()};
}
