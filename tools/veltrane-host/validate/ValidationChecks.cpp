#include "validate/ValidationChecks.h"

const std::vector<ValidationCheck>& validationChecks() {
  static const std::vector<ValidationCheck> checks = {
      {"lifecycle", checkLifecycle}, {"buffers", checkBuffers},
      {"bad-input", checkBadInput},  {"parameters", checkParameters},
      {"threads", checkThreads},     {"state", checkState},
      {"instances", checkInstances}, {"load-unload", checkLoadUnload},
      {"real-time", checkRealTime},  {"latency", checkLatency},
      {"editor", checkEditor},
  };
  return checks;
}

const ValidationCheck* findCheck(const std::string& name) {
  for (const ValidationCheck& check : validationChecks())
    if (name == check.name) return &check;
  return nullptr;
}

std::string checkNames() {
  std::string names;
  for (const ValidationCheck& check : validationChecks())
    names.append(names.empty() ? "" : ",").append(check.name);
  return names;
}
