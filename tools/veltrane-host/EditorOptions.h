#pragma once

#include <string>
#include <vector>

// What `veltrane-host editor` was asked to do.
struct EditorOptions {
  std::string plugin;
  std::string screenshot;        // empty: none
  double seconds = -1.0;         // negative: until the window is closed
  bool audio = true;             // process audio on a thread of its own while the editor is open
  bool clip = false;             // a burst above full scale after a second, then silence
  bool printParameters = false;  // list every parameter's value before closing
  int automate = -1;             // a parameter the host sweeps up and down, as automation would
};

// Parses the words after "editor"; false with a reason on any mistake.
bool parseEditorOptions(const std::vector<std::string>& words, EditorOptions& options,
                        std::string& error);

constexpr const char* kEditorUsage =
    "  veltrane-host editor PLUGIN.so [--seconds N] [--screenshot FILE.png] [--no-audio] [--clip]\n"
    "                       [--print-parameters] [--automate INDEX]\n";
