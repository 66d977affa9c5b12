// The plug-in loaded, run and unloaded 200 times in one process: what it takes it gives back
// (open descriptors, threads, heap, resident memory).
#include <dirent.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

#include "SanitizedBuild.h"

namespace {

constexpr int kCycles = 200;
constexpr int kWarmUpCycles = 2;  // the first loads bring libraries and caches that stay
constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kBlocksPerCycle = 4;
// A leak of a kilobyte per instance shows; allocator slack does not.
#ifndef VELTRANE_ADDRESS_SANITIZER
constexpr long kMostHeapGrowthKb = 128;
#else
// AddressSanitizer's runtime adds an entry of its own to the process's exit list for every
// static destructor a library registers, and unloading the library leaves it there (about
// 0.7 kB per load of Veltrane). Its leak check at the end of the check's process finds what
// is really lost.
constexpr long kMostHeapGrowthKb = 1024;
#endif
// Resident memory also holds what the allocator keeps for reuse; a sanitizer's allocator
// keeps freed memory in quarantine on purpose, so there only the heap is judged.
constexpr long kMostResidentGrowthKb = 32 * 1024;
constexpr auto kThreadsSettle = std::chrono::seconds(2);

int countEntries(const char* folder) {
  int n = 0;
  if (DIR* d = opendir(folder)) {
    while (const dirent* entry = readdir(d))
      if (entry->d_name[0] != '.') ++n;
    closedir(d);
  }
  return n;
}

long residentKb() {
  long kb = -1;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) break;
    std::fclose(f);
  }
  return kb;
}

long heapKb() {
#ifdef VELTRANE_SANITIZED_ALLOCATOR
  return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#endif
}

struct Usage {
  int descriptors;  // less the one that reads the list
  int threads;
  long heap;      // kB
  long resident;  // kB
  static Usage now() {
    Usage u{countEntries("/proc/self/fd") - 1, countEntries("/proc/self/task"), heapKb(),
            residentKb()};
    return u;
  }
};

bool cycle(CheckContext& context) {
  auto host = context.load();
  if (!host) return false;
  CheckContext::start(*host, kRate, kBlock);
  AudioBuffers<float> buffers(*host->effect(), kBlock);
  Noise noise(1);
  for (int b = 0; b < kBlocksPerCycle; ++b) {
    buffers.fill(kBlock, [&](int, int) { return 0.1 * noise.next(); });
    buffers.process(host->effect(), kBlock);
  }
  host->stop();
  return true;
}

}  // namespace

void checkLoadUnload(CheckContext& context) {
  for (int i = 0; i < kWarmUpCycles; ++i)
    if (!cycle(context)) return;
  const Usage before = Usage::now();
  for (int i = 0; i < kCycles; ++i) {
    context.report.step("load and unload, cycle %d", i + 1);
    if (!cycle(context)) return;
  }
  context.report.step("waiting for the plug-in's threads to end");
  Usage after = Usage::now();
  for (const auto until = std::chrono::steady_clock::now() + kThreadsSettle;
       after.threads > before.threads && std::chrono::steady_clock::now() < until;
       after = Usage::now())
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

  const std::string figures = formatted(
      "%d cycles: descriptors %d -> %d, threads %d -> %d, heap in use %+ld kB, resident memory "
      "%+ld kB",
      kCycles, before.descriptors, after.descriptors, before.threads, after.threads,
      after.heap - before.heap, after.resident - before.resident);
  bool leaked = after.descriptors > before.descriptors || after.threads > before.threads ||
                after.heap - before.heap > kMostHeapGrowthKb;
#ifndef VELTRANE_SANITIZED_ALLOCATOR
  leaked = leaked || after.resident - before.resident > kMostResidentGrowthKb;
#endif
  if (leaked)
    context.report.fail(figures);
  else
    context.report.pass(figures);
}
