#pragma once

#include <ostream>

#include "EditorOptions.h"

// Shows a plug-in's editor in a window of its own, as a host would: asks the editor's size,
// opens it inside the window, drives its idle 30 times a second while audio runs on another
// thread, prints every notification the plug-in sends (one line each, at once), optionally
// saves a screenshot and closes everything in order. Returns the process exit code.
int runEditor(const EditorOptions& options, std::ostream& out, std::ostream& err);
