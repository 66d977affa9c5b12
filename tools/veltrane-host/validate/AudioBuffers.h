#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "sdk/aeffectx.h"

// Channel buffers a check feeds a plug-in through, float or double. Each channel has room
// for `capacity` frames and a guard before and after it; marking fills the outputs, guards
// included, with a value no plug-in computes, so that a write outside a call's frames shows.
template <typename Sample>
class AudioBuffers {
 public:
  static constexpr int kGuard = 64;

  AudioBuffers(const AEffect& effect, int capacity)
      : capacity_(capacity),
        inputs_(static_cast<std::size_t>(std::max(effect.numInputs, 0))),
        outputs_(static_cast<std::size_t>(std::max(effect.numOutputs, 0))) {
    for (auto* group : {&inputs_, &outputs_})
      for (auto& channel : *group)
        channel.assign(static_cast<std::size_t>(capacity + 2 * kGuard), 0);
    for (auto& c : inputs_) inputPointers_.push_back(c.data() + kGuard);
    for (auto& c : outputs_) outputPointers_.push_back(c.data() + kGuard);
    // Hosts hand a valid array even for a plug-in without inputs or outputs.
    inputPointers_.push_back(nullptr);
    outputPointers_.push_back(nullptr);
  }

  int capacity() const { return capacity_; }
  int inputCount() const { return static_cast<int>(inputs_.size()); }
  int outputCount() const { return static_cast<int>(outputs_.size()); }
  Sample* input(int c) { return inputPointers_[static_cast<std::size_t>(c)]; }
  const Sample* output(int c) const { return outputPointers_[static_cast<std::size_t>(c)]; }

  // Outputs that share the inputs' memory, as hosts that process in place hand them.
  void processInPlace(bool inPlace) {
    for (std::size_t c = 0; c < outputs_.size(); ++c)
      outputPointers_[c] =
          inPlace && c < inputs_.size() ? inputs_[c].data() + kGuard : outputs_[c].data() + kGuard;
  }

  template <typename Signal>  // Signal(channel, frame) -> double
  void fill(int frames, Signal&& signal) {
    for (int c = 0; c < inputCount(); ++c)
      for (int i = 0; i < frames; ++i) input(c)[i] = static_cast<Sample>(signal(c, i));
  }

  void process(AEffect* effect, int frames) {
    if constexpr (sizeof(Sample) == sizeof(double))
      effect->processDoubleReplacing(effect, inputPointers_.data(), outputPointers_.data(), frames);
    else
      effect->processReplacing(effect, inputPointers_.data(), outputPointers_.data(), frames);
  }

  void mark() {
    for (auto& c : outputs_) std::fill(c.begin(), c.end(), marker());
  }
  // Whether any output sample outside the first `frames` lost its mark.
  bool writtenOutside(int frames) const {
    for (const auto& c : outputs_)
      for (std::size_t i = 0; i < c.size(); ++i) {
        const bool inside = i >= kGuard && i < static_cast<std::size_t>(kGuard + frames);
        if (!inside && std::bit_cast<Bits>(c[i]) != std::bit_cast<Bits>(marker())) return true;
      }
    return false;
  }
  // The largest magnitude among the first `frames` output samples: not a number when any is
  // not, infinity when any is infinite.
  double peak(int frames) const {
    double largest = 0.0;
    for (const Sample* c : outputPointers_) {
      if (!c) continue;
      for (int i = 0; i < frames; ++i) {
        const double v = std::fabs(static_cast<double>(c[i]));
        if (std::isnan(v)) return v;
        largest = std::max(largest, v);
      }
    }
    return largest;
  }

 private:
  using Bits = std::conditional_t<sizeof(Sample) == 8, std::uint64_t, std::uint32_t>;
  // A quiet NaN with a payload of its own: arithmetic does not produce it.
  static Sample marker() {
    if constexpr (sizeof(Sample) == 8)
      return std::bit_cast<Sample>(std::uint64_t{0x7ff8'dead'beef'5a5aull});
    else
      return std::bit_cast<Sample>(std::uint32_t{0x7fde'5a5au});
  }

  int capacity_;
  std::vector<std::vector<Sample>> inputs_, outputs_;
  std::vector<Sample*> inputPointers_, outputPointers_;
};

// The larger of two peaks, where not a number outweighs everything.
inline double louder(double a, double b) { return std::isnan(a) || b <= a ? a : b; }

// Repeatable white noise in -1..1, one generator per use.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1u) {}
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }

 private:
  std::uint32_t state_;
};
