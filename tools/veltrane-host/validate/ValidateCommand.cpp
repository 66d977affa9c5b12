#include "validate/ValidateCommand.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "PluginHost.h"
#include "validate/CheckContext.h"
#include "validate/CheckProcess.h"
#include "validate/ValidationChecks.h"

namespace {

std::string describe(const PluginHost& host, const std::string& path) {
  const AEffect* e = host.effect();
  std::string name = host.text(effGetEffectName);
  if (name.empty()) name = host.text(effGetProductString);
  std::string text = "\"" + name + "\" (" + path + "): " + std::to_string(e->numInputs) + " in, " +
                     std::to_string(e->numOutputs) + " out, " + std::to_string(e->numParams) +
                     " parameters";
  if (e->flags & effFlagsCanDoubleReplacing) text += ", double";
  if (e->flags & effFlagsProgramChunks) text += ", chunks";
  if (e->flags & effFlagsHasEditor) text += ", editor";
  return text;
}

// What a check's process ended with, as the summary counts it.
enum class Verdict { Passed, Failed, Skipped };

Verdict runOne(const ValidationCheck& check, unsigned number, const ValidateOptions& options,
               std::ostream& out) {
  const auto started = std::chrono::steady_clock::now();
  std::string verdictLine;  // held back until the process ended, to add its time
  auto print = [&](const std::string& kind, const std::string& text) {
    const std::string line = kind + " " + check.name + (text.empty() ? "" : " " + text);
    if (kind == "PASS" || kind == "SKIP")
      verdictLine = line;
    else
      out << line << std::endl;
  };
  const CheckEnding ending = runCheckProcess(
      [&](CheckReport& report) {
        CheckContext context(options, report, number);
        check.run(context);
      },
      options.timeout, print);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  char time[32];
  std::snprintf(time, sizeof time, " (%.1f s)", seconds);
  if (!ending.abnormal.empty()) {
    out << "FAIL " << check.name << " " << ending.abnormal;
    if (!verdictLine.empty()) out << "; it had reported: " << verdictLine;
    out << std::endl;
    return Verdict::Failed;
  }
  if (!verdictLine.empty()) out << verdictLine << time << std::endl;
  if (ending.failures > 0) return Verdict::Failed;
  return ending.passes > 0 ? Verdict::Passed : Verdict::Skipped;
}

}  // namespace

int runValidate(const ValidateOptions& options, std::ostream& out, std::ostream& err) {
  // Even loading happens in a process of its own: this one stays free of the plug-in's
  // threads and libraries, so that every check starts from a clean fork.
  std::string description, error;
  const CheckEnding probe = runCheckProcess(
      [&](CheckReport& report) {
        std::string loadError;
        auto host = PluginHost::load(options.plugin, loadError);
        if (host)
          report.pass(describe(*host, options.plugin));
        else
          report.fail(loadError);
      },
      options.timeout,
      [&](const std::string& kind, const std::string& text) {
        (kind == "PASS" ? description : error) = text;
      });
  if (description.empty() || !probe.abnormal.empty()) {
    err << "veltrane-host: "
        << (error.empty() ? options.plugin + ": loading it " + probe.abnormal : error) << "\n";
    return 1;
  }
  out << "validating " << description << "; seed " << options.seed << std::endl;

  int passed = 0, failed = 0, skipped = 0;
  unsigned number = 0;
  for (const ValidationCheck& check : validationChecks()) {
    ++number;
    if (!options.only.empty() &&
        std::find(options.only.begin(), options.only.end(), check.name) == options.only.end())
      continue;
    switch (runOne(check, number, options, out)) {
      case Verdict::Passed:
        ++passed;
        break;
      case Verdict::Failed:
        ++failed;
        break;
      case Verdict::Skipped:
        ++skipped;
        break;
    }
  }
  out << passed << " passed, " << failed << " failed, " << skipped << " skipped" << std::endl;
  return failed > 0 ? 1 : 0;
}
