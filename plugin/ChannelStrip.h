#pragma once

#include <atomic>
#include <utility>

#include "dsp/Filter.h"
#include "dsp/OutputStage.h"
#include "dsp/Oversampler.h"
#include "dsp/StereoCascade.h"
#include "plugin/StripSettings.h"

// The equaliser's signal path without any host: fourteen filter sections in seven
// left/right pairs, the rate changers around them, output gain, look-ahead delay and
// saturation. The owner feeds it blocks and settings; it reads the settings afresh at
// every chunk of 16 samples, right after the owner's hook has had the chance to apply
// pending changes, so changes take effect at chunk boundaries only.
//
// The samples of a chunk are processed once a later band update, a different chain, a full
// group of chunks or the block's end calls for it: every stage is a stream, and each chunk
// keeps the gain and saturation switch read at its boundary, so a group of chunks gives
// the samples the chunks give one by one, at a fraction of the per-call cost.
class ChannelStrip {
 public:
  static constexpr int kChunkFrames = 16;
  static constexpr int kGroupChunks = 4;
  static constexpr double kOversamplingBelow = 65000.0;  // host rates below run at 2x
  static constexpr double kMeterCeiling = 4.0;

  // Which loop runs and where its result goes, as the owner decides from the host.
  struct Routing {
    bool stereo = true;        // read input 1 and run the right chain
    bool secondOutput = true;  // output 1 is connected and wanted
  };

  enum Section { kHpf, kLfShelf, kLfDip, kLm, kHm, kHf, kHfDip, kSectionPairs };

  explicit ChannelStrip(const VectorKernels& kernels = VectorKernels::selected());

  // Runs the updates whose bits are set, in the order resume() uses.
  void updateBands(unsigned mask, const StripSettings& s);

  void suspend(const StripSettings& s);
  void resume(double hostRate, const StripSettings& s);

  // Processes a block of any length. beforeChunk(ChannelStrip&) runs before every chunk;
  // it may change the settings behind `s` and call updateBands. Every chunk's input is read
  // before its output is written, so in-place buffers are fine.
  template <typename Sample, typename BeforeChunk>
  void process(const Sample* const* inputs, Sample* const* outputs, int frames, Routing routing,
               const StripSettings& s, BeforeChunk&& beforeChunk);

  int getLatencySamples() const {
    return output.getLookAheadLength() / 2 + Oversampler::kDelayFrames;
  }
  double getSampleRate() const { return sampleRate; }
  double getInternalRate() const { return internalRate; }
  bool isOversampling() const { return oversampling; }
  double getOutGainSmoothed() const { return outGainSmoothed; }
  // Peak of the last processed block, capped at 4.0; written by the audio thread.
  double getMeterPeak() const { return meterPeak.load(std::memory_order_relaxed); }

  const Filter& left(Section id) const { return *sectionsL[id]; }
  const Filter& right(Section id) const { return *sectionsR[id]; }

 private:
  struct Peaks {
    double left = 0.0;
    double right = 0.0;
  };

  // Which sections run: what a group's chunks must share.
  struct Chain {
    bool runLeft = false, runRight = false, lfDip = false, hfDip = false;
    bool operator==(const Chain&) const = default;
  };
  struct ChunkPlan {
    int frames;
    double gain;  // the smoothed output gain at the chunk's end
    bool satOn;
  };
  // The block being processed, and its chunks taken but not yet processed.
  struct Group {
    const void* inputs[2] = {};
    void* outputs[2] = {};
    bool doubles = false;
    Routing routing;
    Peaks* peaks = nullptr;
    int offset = 0;  // of the first chunk in the block
    int frames = 0;
    int chunks = 0;
    Chain chain;
    ChunkPlan plan[kGroupChunks] = {};
  };
  static constexpr int kGroupFrames = kGroupChunks * kChunkFrames;
  static_assert(kGroupFrames <= Oversampler::kMaxFrames &&
                2 * kGroupFrames <= StereoCascade::kMaxFrames);

  void updateLowCut(const StripSettings& s);
  void updateLowShelf(const StripSettings& s);
  void updateLowMid(const StripSettings& s);
  void updateMid(const StripSettings& s);
  void updateHighShelf(const StripSettings& s);
  void takeChunk(int offset, int n, const StripSettings& s);
  // Processes the chunks taken so far.
  void finishChunks();
  template <typename Sample>
  void finishGroup();
  // From the input read into the work planes to the output to be written.
  void processGroup();
  void read(const float* in, double* work, int n) const { kernels->readFloat(in, work, n); }
  void read(const double* in, double* work, int n) const { kernels->readDouble(in, work, n); }
  void write(const double* work, float* out, int n, double& peak) const {
    kernels->writeFloat(work, out, n, peak);
  }
  void write(const double* work, double* out, int n, double& peak) const {
    kernels->writeDouble(work, out, n, peak);
  }
  void runChains(Chain chain, int count);
  void smoothGain(double target, int n);
  void setRateOf(Filter& f);

  const VectorKernels* kernels;
  double sampleRate = 44100.0;    // the clamped host rate
  double internalRate = 88200.0;  // rate of the sections
  bool oversampling = true;
  Filter hpfL, hpfR, lfShelfL, lfShelfR, lfDipL, lfDipR, lmL, lmR, hmL, hmR, hfL, hfR, hfDipL,
      hfDipR;
  Filter* const sectionsL[kSectionPairs];
  Filter* const sectionsR[kSectionPairs];
  Oversampler rateChanger;
  StereoCascade cascade;
  OutputStage output;

  double hfQScale = 0.25;
  double outGainSmoothed = 1.0;
  Group group;
  // The group of each channel: the input, then as many samples at twice the rate, then the
  // output.
  alignas(64) double workL[2 * Oversampler::kMaxFrames] = {};
  alignas(64) double workR[2 * Oversampler::kMaxFrames] = {};
  std::atomic<double> meterPeak{0.0};
};

template <typename Sample, typename BeforeChunk>
void ChannelStrip::process(const Sample* const* inputs, Sample* const* outputs, int frames,
                           Routing routing, const StripSettings& s, BeforeChunk&& beforeChunk) {
  Peaks peaks;
  cascade.beginBlock();
  // The second buffers only where the routing says they are there.
  group.inputs[0] = inputs[0], group.inputs[1] = routing.stereo ? inputs[1] : nullptr;
  group.outputs[0] = outputs[0], group.outputs[1] = routing.secondOutput ? outputs[1] : nullptr;
  group.doubles = sizeof(Sample) == sizeof(double);
  group.routing = routing;
  group.peaks = &peaks;
  for (int offset = 0; offset < frames; offset += kChunkFrames) {
    const int n = frames - offset < kChunkFrames ? frames - offset : kChunkFrames;
    beforeChunk(*this);
    takeChunk(offset, n, s);
  }
  finishChunks();
  group = Group{};  // nothing of the host's is kept past the call
  // A peak that is not a number (an output that was not one) reads full scale.
  auto capped = [](double p) { return p < kMeterCeiling ? p : kMeterCeiling; };
  double peak = capped(peaks.left);
  if (routing.stereo) {
    const double r = capped(peaks.right);
    peak = peak > r ? peak : r;
  }
  meterPeak.store(frames > 0 ? peak : 0.0, std::memory_order_relaxed);
}
