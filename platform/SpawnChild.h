#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Starting a helper program (a desktop dialog, a document viewer) from inside a host. The
// program gets an argument vector (no shell), the system's library path rather than one the
// host bundles, none of the host's open files, sockets or devices, and default signal handling
// whatever the host's thread blocks or ignores, so that the desktop can ask it to end.
struct SpawnChildOptions {
  // Where the child's standard output goes; -1 for /dev/null. Standard input is /dev/null.
  int stdoutFd = -1;
  // Standard error to /dev/null instead of the host's.
  bool quietStderr = false;
  // A session of its own, for a program that may outlive the host's terminal.
  bool newSession = false;
  // A descriptor the child keeps as its descriptor 3 (a pipe it reports through); -1 for none.
  int reportFd = -1;
};

// Starts argv[0] (searched in PATH unless it contains "/"). Returns 0 and the child's id, or the
// error number; a failure is also reported on standard error.
int spawnChild(const std::vector<std::string>& argv, const SpawnChildOptions& options,
               pid_t& child);

// The executable file a program name stands for (searched in PATH unless it contains "/"), or
// "" when there is none.
std::string findProgram(const std::string& name);
