#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "PluginHost.h"
#include "validate/CheckReport.h"
#include "validate/ValidateOptions.h"

// What every check works with: the options, the report, a source of repeatable random
// numbers, and fresh instances of the plug-in.
class CheckContext {
 public:
  CheckContext(const ValidateOptions& options, CheckReport& report, unsigned checkNumber)
      : options(options), report(report), random(options.seed * 1000003u + checkNumber) {}

  // A new instance set to 44.1 kHz and blocks of 512, not yet resumed; null (the check
  // failed, with the reason) when it cannot be loaded.
  std::unique_ptr<PluginHost> load();

  // Starts processing at this rate and block size.
  static void start(PluginHost& host, double rate, int block);

  static bool offersDouble(const PluginHost& host) {
    return (host.effect()->flags & effFlagsCanDoubleReplacing) &&
           host.effect()->processDoubleReplacing;
  }

  // A copy of the plug-in's chunk (the bank's, or with `program` the current program's);
  // empty when it gives none.
  static std::vector<unsigned char> chunkOf(const PluginHost& host, bool program = false);
  // Hands a chunk over as hosts do; returns the plug-in's answer.
  static VstIntPtr setChunk(const PluginHost& host, std::vector<unsigned char> chunk,
                            bool program = false);

  // Every parameter's value, as the host reads it.
  static std::vector<float> parameterValues(const PluginHost& host);
  // Sets every parameter to a random value within 0..1.
  void randomise(const PluginHost& host);

  const ValidateOptions& options;
  CheckReport& report;
  std::mt19937 random;
};
