#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include "sdk/aeffectx.h"

// Plays a real host's audio side while the editor is open: a thread of its own feeds blocks
// through processReplacing at the pace of the sample rate. The signal is quiet noise; a
// clip burst (a sine at +6 dBFS for a quarter of a second, then silence) can be asked for.
class AudioThread {
 public:
  AudioThread(AEffect* effect, double sampleRate, int blockSize);
  ~AudioThread();
  AudioThread(const AudioThread&) = delete;
  AudioThread& operator=(const AudioThread&) = delete;

  void start();
  void stop();
  // Any thread: the burst starts with the next block.
  void clip() { clipRequested_.store(true); }
  long long blocksProcessed() const { return blocks_.load(); }

 private:
  void run();
  void fill(int frames);

  AEffect* effect_;
  double sampleRate_;
  int blockSize_;
  std::vector<std::vector<float>> inputs_, outputs_;
  std::vector<float*> inputPointers_, outputPointers_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> clipRequested_{false};
  std::atomic<long long> blocks_{0};
  long long clipFramesLeft_ = 0;
  bool silent_ = false;  // after a burst
  double phase_ = 0.0;
  unsigned noiseState_ = 0x12345678u;
};
