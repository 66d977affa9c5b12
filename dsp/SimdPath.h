#pragma once

#include <string>

// The vector instruction sets the engine runs on. The binary is built for plain x86-64; the
// wider paths are compiled alongside and one of them is chosen once per process from what
// the CPU offers. Every path gives the same samples bit for bit: they differ only in how
// many lanes one instruction covers.
enum class SimdPath { kSse2, kAvx2, kAvx512 };

inline constexpr SimdPath kSimdPaths[] = {SimdPath::kSse2, SimdPath::kAvx2, SimdPath::kAvx512};

// "sse2", "avx2" or "avx512", the names VELTRANE_SIMD takes.
const char* simdPathName(SimdPath path);

inline constexpr unsigned simdPathBit(SimdPath path) { return 1u << static_cast<int>(path); }

// What a CPU offers of what the paths need (as its feature checks report, which include the
// operating system's saving of the wide registers).
struct CpuFeatures {
  bool avx2, avx512f, avx512vl, avx512dq;
};
// The paths such a CPU can run, as simdPathBit values: the AVX-512 path needs all three of
// its parts.
unsigned simdPathsOf(const CpuFeatures& cpu);
// Those of this CPU and its operating system.
unsigned supportedSimdPaths();
bool isSimdPathSupported(SimdPath path);

// The path a request (VELTRANE_SIMD's value, or null when unset) asks for among the supported
// ones: the best supported path when the request is unset or empty, and also when it names
// no path or one the CPU lacks, in which case `warning` says so in one line (else it is
// cleared).
SimdPath chooseSimdPath(const char* request, unsigned supported, std::string& warning);

// The path of this process, decided at the first call from the CPU and VELTRANE_SIMD (a
// fallback is reported on standard error once). The engine's constructors make that first
// call, so the audio thread never does.
SimdPath selectedSimdPath();
