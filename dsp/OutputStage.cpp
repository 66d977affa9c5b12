#include "dsp/OutputStage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

OutputStage::OutputStage(const VectorKernels& k) : kernels(&k) { configure(44100.0); }

void OutputStage::configure(double rate) {
  if (!(rate >= 1500.0 && rate <= 1.5e6)) rate = 44100.0;  // keeps the conversion defined
  int n = static_cast<int>(rate / 1500.0);
  if (n % 2 == 0) ++n;  // odd, so the window has a centre sample
  lookAheadLength = n;
  // 3.1415 and 0.7071 exactly, not pi and 1/sqrt(2): the saturation's measured limits
  // (0.85 for a full-scale sine, under 1.4 % below 0.3) depend on this exact window.
  std::memset(peakWindow, 0, sizeof peakWindow);
  std::memset(reversedWindow, 0, sizeof reversedWindow);
  for (int k = 0; k < n; ++k) {
    peakWindow[k] = std::pow(0.5 + 0.5 * std::cos(2 * (k - n / 2) * 3.1415 / n), 0.7071);
  }
  for (int j = 0; j < n; ++j) {
    reversedWindow[2 * j] = reversedWindow[2 * j + 1] = peakWindow[n - 1 - j];
  }
  // The middle half of the window, where the weights are largest, is weighed first: the
  // sides often cannot raise the peak any more.
  centreBegin = n >= 16 ? n / 4 : 0;
  centreEnd = n - centreBegin;
  sideWeight = 0.0;
  for (int j = 0; j < n; ++j) {
    if (j < centreBegin || j >= centreEnd) sideWeight = std::max(sideWeight, reversedWindow[2 * j]);
  }
}

void OutputStage::clear() {
  std::memset(delay, 0, sizeof delay);
  std::memset(magnitude, 0, sizeof magnitude);
  head = kLineLength;
}

void OutputStage::process(double* left, double* right, int n, double g, bool satOn,
                          bool bothChannels) {
  for (int done = 0; done < n; done += kPiece) {
    const int piece = n - done < kPiece ? n - done : kPiece;
    processPiece(left + done, bothChannels ? right + done : nullptr, piece, g, satOn, bothChannels);
  }
}

void OutputStage::processPiece(double* left, double* right, int n, double g, bool satOn,
                               bool both) {
  if (head + n > kHistory) {
    for (auto* line : {delay, magnitude}) {
      for (int c = 0; c < 2; ++c) {
        std::memmove(line[c], line[c] + head - kLineLength, sizeof(double) * kLineLength);
      }
    }
    head = kLineLength;
  }
  const std::size_t bytes = sizeof(double) * n;
  for (int c = 0; c < (both ? 2 : 1); ++c) {
    double* samples = c == 0 ? left : right;
    if (!satOn) std::memcpy(magnitude[c] + head, magnitude[c] + head - kLineLength, bytes);
    kernels->outputStage({samples, delay[c] + head, magnitude[c] + head, reversedWindow, n,
                          lookAheadLength / 2, lookAheadLength, centreBegin, centreEnd, sideWeight,
                          g, satOn});
  }
  if (!both) {
    std::memcpy(delay[1] + head, delay[1] + head - kLineLength, bytes);
    std::memcpy(magnitude[1] + head, magnitude[1] + head - kLineLength, bytes);
  }
  head += n;
}
