#pragma once

#include <ostream>

#include "RenderOptions.h"

// Runs audio (a file or the demo signal) through a plug-in and writes the result: prints the
// latency, levels in and out and the real-time factor. Returns the process exit code.
int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err);
