#pragma once

#include <string>
#include <vector>

// What `veltrane-host validate` was asked to do.
struct ValidateOptions {
  std::string plugin;
  double seconds = 2.0;           // how long the timed checks run
  unsigned seed = 1;              // of every random value the checks use: a run can be repeated
  double timeout = 30.0;          // seconds without progress after which a check counts as hung
  std::vector<std::string> only;  // empty: every check
};

// Parses the words after "validate"; false with a reason on any mistake (an unknown check
// name among them).
bool parseValidateOptions(const std::vector<std::string>& words, ValidateOptions& options,
                          std::string& error);

constexpr const char* kValidateUsage =
    "  veltrane-host validate PLUGIN.so [--seconds S] [--seed N] [--timeout S] [--only NAME,...]\n";
