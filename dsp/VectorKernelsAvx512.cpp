// The kernels with AVX-512 (F, VL, DQ): registers of eight doubles. FMA stays off, as everywhere.
#include "dsp/OutputStage.h"
#include "dsp/VectorKernels.h"

#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl,avx512dq")
#include "dsp/Lanes.h"
namespace {
constexpr int kVectorRegisters = 32;
}
#include "dsp/CascadeKernel.h"
#include "dsp/FrameKernels.h"
#include "dsp/KernelTable.h"
#pragma GCC pop_options

const VectorKernels& VectorKernels::avx512() {
  static constexpr VectorKernels kKernels =
      makeKernels<8, CascadeShape{4, true, 2}, CascadeShape{4, true, 1}>(SimdPath::kAvx512);
  return kKernels;
}
