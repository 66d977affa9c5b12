// The kernels on the baseline every x86-64 CPU has: registers of two doubles.
#include "dsp/OutputStage.h"
#include "dsp/VectorKernels.h"

#include "dsp/Lanes.h"
namespace {
constexpr int kVectorRegisters = 16;
}
#include "dsp/CascadeKernel.h"
#include "dsp/FrameKernels.h"
#include "dsp/KernelTable.h"

const VectorKernels& VectorKernels::sse2() {
  static constexpr VectorKernels kKernels =
      makeKernels<2, CascadeShape{2, false, 1}, CascadeShape{2, false, 1}>(SimdPath::kSse2);
  return kKernels;
}
