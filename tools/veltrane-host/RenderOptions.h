#pragma once

#include <string>
#include <utility>
#include <vector>

// What `veltrane-host render` was asked to do.
struct RenderOptions {
  std::string plugin;
  std::string input;  // empty: the built-in demo signal
  std::string output;
  double rate = 44100.0;  // of the demo signal; a file plays at its own rate
  bool rateGiven = false;
  int block = 512;
  bool useDouble = false;
  bool mono = false;
  std::vector<std::pair<std::string, std::string>> settings;  // --set NAME=VALUE, in order
  std::string preset;
};

// Parses the words after "render"; false with a reason on any mistake.
bool parseRenderOptions(const std::vector<std::string>& words, RenderOptions& options,
                        std::string& error);

constexpr const char* kRenderUsage =
    "  veltrane-host render PLUGIN.so [IN] OUT.wav [--rate HZ] [--block N] [--double] [--mono]\n"
    "                       [--set NAME=VALUE ...] [--preset NAME]\n";
