#include "AudioThread.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace {

constexpr double kNoiseLevel = 0.01;  // -40 dBFS
constexpr double kClipLevel = 2.0;    // +6 dBFS
constexpr double kClipSeconds = 0.25;
constexpr double kClipFrequency = 1000.0;

}  // namespace

AudioThread::AudioThread(AEffect* effect, double sampleRate, int blockSize)
    : effect_(effect), sampleRate_(sampleRate), blockSize_(blockSize) {
  const int channels = std::max({effect->numInputs, effect->numOutputs, 2});
  inputs_.assign(static_cast<std::size_t>(channels), std::vector<float>(blockSize));
  outputs_.assign(static_cast<std::size_t>(channels), std::vector<float>(blockSize));
  for (auto& v : inputs_) inputPointers_.push_back(v.data());
  for (auto& v : outputs_) outputPointers_.push_back(v.data());
}

AudioThread::~AudioThread() { stop(); }

void AudioThread::start() {
  if (running_.exchange(true)) return;
  thread_ = std::thread(&AudioThread::run, this);
}

void AudioThread::stop() {
  running_.store(false);
  if (thread_.joinable()) thread_.join();
}

void AudioThread::fill(int frames) {
  if (clipRequested_.exchange(false))
    clipFramesLeft_ = static_cast<long long>(kClipSeconds * sampleRate_);
  const double step = 2.0 * std::numbers::pi * kClipFrequency / sampleRate_;
  for (int i = 0; i < frames; ++i) {
    float value = 0.0f;
    if (clipFramesLeft_ > 0) {
      value = static_cast<float>(kClipLevel * std::sin(phase_));
      phase_ = std::fmod(phase_ + step, 2.0 * std::numbers::pi);
      if (--clipFramesLeft_ == 0) silent_ = true;
    } else if (!silent_) {
      noiseState_ = noiseState_ * 1664525u + 1013904223u;
      value = static_cast<float>(kNoiseLevel *
                                 (static_cast<double>(noiseState_ >> 8) / 8388608.0 - 1.0));
    }
    for (auto& channel : inputs_) channel[static_cast<std::size_t>(i)] = value;
  }
}

void AudioThread::run() {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(blockSize_ / sampleRate_));
  auto next = Clock::now();
  while (running_.load()) {
    fill(blockSize_);
    effect_->processReplacing(effect_, inputPointers_.data(), outputPointers_.data(), blockSize_);
    blocks_.fetch_add(1);
    next += period;
    const auto now = Clock::now();
    if (next < now - period) next = now;  // fell behind: carry on from here, no catching up
    std::this_thread::sleep_until(next);
  }
}
