#pragma once

// Tests that run once for every vector path: TEST_P on a fixture derived from EveryPath, then
// VT_FOR_EVERY_PATH(Fixture). A path this CPU lacks is skipped, not failed.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "dsp/VectorKernels.h"

inline void PrintTo(SimdPath path, std::ostream* os) { *os << simdPathName(path); }

class EveryPath : public ::testing::TestWithParam<SimdPath> {
 protected:
  void SetUp() override {
    if (!isSimdPathSupported(GetParam())) {
      GTEST_SKIP() << "this CPU has no " << simdPathName(GetParam()) << " path";
    }
  }
  const VectorKernels& kernels() const { return VectorKernels::forPath(GetParam()); }
};

#define VT_FOR_EVERY_PATH(Fixture)                                          \
  INSTANTIATE_TEST_SUITE_P(Paths, Fixture, ::testing::ValuesIn(kSimdPaths), \
                           [](const auto& info) { return std::string(simdPathName(info.param)); })
