#pragma once

// A program run by a test: its standard output and error are collected as they come, so the
// test can wait for a line (a window id, a notification) instead of sleeping, and then for the
// exit. A child still running when the object goes is killed.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

class ChildProcess {
 public:
  // Environment changes: a value replaces or adds the variable, nullopt removes it.
  using Environment = std::map<std::string, std::optional<std::string>>;

  ChildProcess(const std::vector<std::string>& argv, const Environment& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      if (!changes.count(entry.substr(0, entry.find('=')))) env.push_back(entry);
    }
    for (const auto& [name, value] : changes)
      if (value) env.push_back(name + "=" + *value);
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    if (pipe2(err, O_CLOEXEC) != 0) {
      close(out[0]);
      close(out[1]);
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    reader_ = std::thread([this, outFd = out[0], errFd = err[0]] { read(outFd, errFd); });
  }
  ~ChildProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (reader_.joinable()) reader_.join();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }

  // The first whole line of standard output after `from` bytes that satisfies `match`, or
  // nullopt if none came in time (or the output ended first).
  std::optional<std::string> waitForLine(const std::function<bool(const std::string&)>& match,
                                         std::chrono::milliseconds timeout, std::size_t from = 0) {
    std::optional<std::string> found;
    auto search = [&] {
      for (std::size_t start = from, end; (end = out_.find('\n', start)) != std::string::npos;
           start = end + 1)
        if (match(out_.substr(start, end - start)))
          return bool(found = out_.substr(start, end - start));
      return false;
    };
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return search() || outputEnded_; });
    return found;
  }
  std::optional<std::string> waitForLineStartingWith(const std::string& prefix,
                                                     std::chrono::milliseconds timeout) {
    return waitForLine([&](const std::string& line) { return line.rfind(prefix, 0) == 0; },
                       timeout);
  }

  // The exit status as the shell shows it (128 + signal for a killed child), or -1 when the
  // child did not end in time (it is then killed).
  int wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        exited_ = true;
        if (reader_.joinable()) reader_.join();
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    exited_ = true;
    if (reader_.joinable()) reader_.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  std::string output() {
    std::lock_guard lock(mutex_);
    return out_;
  }
  std::string errors() {
    std::lock_guard lock(mutex_);
    return err_;
  }

 private:
  void read(int outFd, int errFd) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    while (open > 0) {
      if (poll(fds, 2, -1) < 0) continue;
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buffer[4096];
        const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        std::lock_guard lock(mutex_);
        if (n > 0) {
          (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
        } else {
          close(fds[i].fd);
          fds[i].fd = -1;
          --open;
        }
      }
      changed_.notify_all();
    }
    std::lock_guard lock(mutex_);
    outputEnded_ = true;
    changed_.notify_all();
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string out_, err_;
  bool outputEnded_ = false;
};
