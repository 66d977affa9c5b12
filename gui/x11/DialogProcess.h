#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A dialog program run as a child process: started from an argument vector (no shell), its
// standard output collected through a non-blocking pipe, polled without ever blocking until it
// has finished.
class DialogProcess {
 public:
  DialogProcess() = default;
  DialogProcess(const DialogProcess&) = delete;
  DialogProcess& operator=(const DialogProcess&) = delete;
  ~DialogProcess();

  bool start(const std::vector<std::string>& argv);
  // Collects output and reaps the child; true once it has finished.
  bool poll();
  // The exit status, or -1 if it is unknown (killed, or reaped by someone else).
  int getExitStatus() const { return exitStatus; }
  const std::string& getOutput() const { return output; }

 private:
  void readAvailable();
  void closePipe();

  pid_t pid = -1;
  int pipeFd = -1;
  int exitStatus = -1;
  std::string output;
};
