#include "dsp/VectorKernels.h"

const VectorKernels& VectorKernels::forPath(SimdPath path) {
  std::string unused;
  if (!isSimdPathSupported(path)) path = chooseSimdPath(nullptr, supportedSimdPaths(), unused);
  switch (path) {
    case SimdPath::kAvx2:
      return avx2();
    case SimdPath::kAvx512:
      return avx512();
    default:
      return sse2();
  }
}
