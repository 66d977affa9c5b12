#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "dsp/VectorKernels.h"
#include "tests/support/ChildProcess.h"

namespace {

constexpr unsigned kAll =
    simdPathBit(SimdPath::kSse2) | simdPathBit(SimdPath::kAvx2) | simdPathBit(SimdPath::kAvx512);
constexpr unsigned kNoAvx512 = simdPathBit(SimdPath::kSse2) | simdPathBit(SimdPath::kAvx2);
constexpr unsigned kSse2Only = simdPathBit(SimdPath::kSse2);

TEST(SimdPath, ARequestPicksItsPathOrFallsBackToTheBestWithOneLine) {
  const struct {
    const char* request;
    unsigned supported;
    SimdPath expected;
    bool warns;
  } cases[] = {
      {nullptr, kAll, SimdPath::kAvx512, false},
      {"", kNoAvx512, SimdPath::kAvx2, false},
      {"sse2", kAll, SimdPath::kSse2, false},
      {"AVX2", kAll, SimdPath::kAvx2, false},
      {"avx512", kAll, SimdPath::kAvx512, false},
      {"avx512", kNoAvx512, SimdPath::kAvx2, true},
      {"avx2", kSse2Only, SimdPath::kSse2, true},
      {"neon", kAll, SimdPath::kAvx512, true},
      {"avx2 ", kNoAvx512, SimdPath::kAvx2, true},
      {"av\nx2\x7f\xff and a great deal more than anyone would type", kAll, SimdPath::kAvx512,
       true},
  };
  for (const auto& c : cases) {
    std::string warning = "left over";
    EXPECT_EQ(chooseSimdPath(c.request, c.supported, warning), c.expected) << c.request;
    EXPECT_EQ(!warning.empty(), c.warns) << c.request;
    if (!c.warns) continue;
    EXPECT_EQ(warning.rfind("veltrane: ", 0), 0u) << warning;
    EXPECT_NE(warning.find(std::string("using ") + simdPathName(c.expected)), std::string::npos);
    EXPECT_LE(warning.size(), 120u) << warning;
    for (char ch : warning) EXPECT_TRUE(ch >= ' ' && ch <= '~') << warning;
  }
}

// CPUs with only part of AVX-512 (some have F without VL or DQ) run the AVX2 path.
TEST(SimdPath, TheWidestPathNeedsEveryPartOfItsInstructionSet) {
  const std::pair<CpuFeatures, unsigned> cases[] = {
      {{true, true, true, true}, kAll},          {{true, true, true, false}, kNoAvx512},
      {{true, true, false, true}, kNoAvx512},    {{true, false, true, true}, kNoAvx512},
      {{false, false, false, false}, kSse2Only},
  };
  for (const auto& [cpu, paths] : cases) EXPECT_EQ(simdPathsOf(cpu), paths);
}

// With VELTRANE_SIMD naming a path the CPU has (as the test script sets it), that path runs.
TEST(SimdPath, AForcedPathIsTheOneThatRuns) {
  const SimdPath running = VectorKernels::selected().path;
  const char* forced = std::getenv("VELTRANE_SIMD");
  for (SimdPath path : kSimdPaths) {
    if (!forced || std::strcmp(forced, simdPathName(path)) != 0) continue;
    if (!isSimdPathSupported(path)) GTEST_SKIP() << "this CPU has no " << forced << " path";
    EXPECT_EQ(running, path);
    return;
  }
  GTEST_SKIP() << "VELTRANE_SIMD names no path";
}

TEST(SimdPath, AnUnknownRequestRunsTheBestPathAfterOneLineOnStandardError) {
  ChildProcess child({"/proc/self/exe", "--gtest_filter=SimdPath.AForcedPathIsTheOneThatRuns"},
                     {{"VELTRANE_SIMD", "turbo"}});
  ASSERT_EQ(child.wait(std::chrono::seconds(30)), 0) << child.errors();
  std::string unused;
  const SimdPath best = chooseSimdPath(nullptr, supportedSimdPaths(), unused);
  EXPECT_EQ(child.errors(), std::string("veltrane: VELTRANE_SIMD=\"turbo\" is not one of sse2, ") +
                                "avx2, avx512; using " + simdPathName(best) + "\n");
}

}  // namespace
