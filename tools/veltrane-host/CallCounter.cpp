#include "CallCounter.h"

#include <atomic>

namespace {

// Plain thread-locals with constant initialisation: reaching them from inside malloc
// allocates nothing.
thread_local int countingDepth = 0;
thread_local int hostDepth = 0;
thread_local long allocations = 0;
thread_local long frees = 0;
thread_local long mutexLocks = 0;
std::atomic<const char*> installedMethod{nullptr};

bool counting() { return countingDepth > 0 && hostDepth == 0; }

}  // namespace

bool CallCounter::available() { return installedMethod.load() != nullptr; }
const char* CallCounter::method() {
  const char* m = installedMethod.load();
  return m ? m : "none";
}

CallCounter::Scope::Scope() { ++countingDepth; }
CallCounter::Scope::~Scope() { --countingDepth; }
CallCounter::HostWork::HostWork() { ++hostDepth; }
CallCounter::HostWork::~HostWork() { --hostDepth; }

CallCounter::Counts CallCounter::counts() { return {allocations, frees, mutexLocks}; }
void CallCounter::reset() { allocations = frees = mutexLocks = 0; }

void CallCounter::install(const char* how) { installedMethod.store(how); }
void CallCounter::noteAllocation() {
  if (counting()) ++allocations;
}
void CallCounter::noteFree() {
  if (counting()) ++frees;
}
void CallCounter::noteMutexLock() {
  if (counting()) ++mutexLocks;
}
