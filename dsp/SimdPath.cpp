#include "dsp/SimdPath.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool sameName(const char* request, const char* name) {
  for (; *request && *name; ++request, ++name) {
    const char c = *request >= 'A' && *request <= 'Z' ? *request - 'A' + 'a' : *request;
    if (c != *name) return false;
  }
  return *request == *name;
}

SimdPath bestOf(unsigned supported) {
  SimdPath best = SimdPath::kSse2;
  for (SimdPath p : kSimdPaths) {
    if (supported & simdPathBit(p)) best = p;
  }
  return best;
}

// The request as it may appear in a message: printable ASCII, and not too long.
std::string quoted(const char* request) {
  std::string text = "\"";
  int n = 0;
  for (; request[n] && n < 24; ++n)
    text += request[n] >= ' ' && request[n] <= '~' ? request[n] : '?';
  if (request[n]) text += "...";
  return text + "\"";
}

}  // namespace

const char* simdPathName(SimdPath path) {
  switch (path) {
    case SimdPath::kAvx2:
      return "avx2";
    case SimdPath::kAvx512:
      return "avx512";
    default:
      return "sse2";
  }
}

unsigned simdPathsOf(const CpuFeatures& cpu) {
  unsigned paths = simdPathBit(SimdPath::kSse2);
  if (cpu.avx2) paths |= simdPathBit(SimdPath::kAvx2);
  if (cpu.avx512f && cpu.avx512vl && cpu.avx512dq) paths |= simdPathBit(SimdPath::kAvx512);
  return paths;
}

unsigned supportedSimdPaths() {
  // The checks also tell whether the operating system saves the wide registers.
  __builtin_cpu_init();
  return simdPathsOf({__builtin_cpu_supports("avx2") != 0, __builtin_cpu_supports("avx512f") != 0,
                      __builtin_cpu_supports("avx512vl") != 0,
                      __builtin_cpu_supports("avx512dq") != 0});
}

bool isSimdPathSupported(SimdPath path) { return supportedSimdPaths() & simdPathBit(path); }

SimdPath chooseSimdPath(const char* request, unsigned supported, std::string& warning) {
  warning.clear();
  const SimdPath best = bestOf(supported);
  if (!request || !*request) return best;
  for (SimdPath p : kSimdPaths) {
    if (!sameName(request, simdPathName(p))) continue;
    if (supported & simdPathBit(p)) return p;
    warning = std::string("veltrane: this CPU cannot run the ") + simdPathName(p) +
              " path VELTRANE_SIMD asks for; using " + simdPathName(best);
    return best;
  }
  warning = "veltrane: VELTRANE_SIMD=" + quoted(request) +
            " is not one of sse2, avx2, avx512; using " + simdPathName(best);
  return best;
}

SimdPath selectedSimdPath() {
  static const SimdPath path = [] {
    std::string warning;
    const SimdPath p = chooseSimdPath(std::getenv("VELTRANE_SIMD"), supportedSimdPaths(), warning);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    return p;
  }();
  return path;
}
