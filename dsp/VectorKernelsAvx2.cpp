// The kernels with AVX2: registers of four doubles. FMA stays off, as everywhere.
#include "dsp/OutputStage.h"
#include "dsp/VectorKernels.h"

#pragma GCC push_options
#pragma GCC target("avx2")
#include "dsp/Lanes.h"
namespace {
constexpr int kVectorRegisters = 16;
}
#include "dsp/CascadeKernel.h"
#include "dsp/FrameKernels.h"
#include "dsp/KernelTable.h"
#pragma GCC pop_options

const VectorKernels& VectorKernels::avx2() {
  static constexpr VectorKernels kKernels =
      makeKernels<4, CascadeShape{4, true, 2}, CascadeShape{4, false, 1}>(SimdPath::kAvx2);
  return kKernels;
}
