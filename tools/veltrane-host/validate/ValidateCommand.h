#pragma once

#include <ostream>

#include "validate/ValidateOptions.h"

// Runs the battery on the plug-in, each check in a process of its own, printing a line per
// finding and the totals; returns the exit status (0 only when no check failed).
int runValidate(const ValidateOptions& options, std::ostream& out, std::ostream& err);
