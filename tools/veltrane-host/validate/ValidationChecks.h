#pragma once

#include <string>
#include <vector>

class CheckContext;

// The battery of `veltrane-host validate`, in the order it runs.
struct ValidationCheck {
  const char* name;
  void (*run)(CheckContext& context);
};
const std::vector<ValidationCheck>& validationChecks();
const ValidationCheck* findCheck(const std::string& name);
// Every name, separated by commas, for messages.
std::string checkNames();

void checkLifecycle(CheckContext& context);
void checkBuffers(CheckContext& context);
void checkBadInput(CheckContext& context);
void checkParameters(CheckContext& context);
void checkThreads(CheckContext& context);
void checkState(CheckContext& context);
void checkInstances(CheckContext& context);
void checkLoadUnload(CheckContext& context);
void checkRealTime(CheckContext& context);
void checkLatency(CheckContext& context);
void checkEditor(CheckContext& context);
