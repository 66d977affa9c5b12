#include "plugin/ChannelStrip.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kMinHostRate = 20000.0;
constexpr double kMaxHostRate = 200000.0;
constexpr double kFallbackRate = 44100.0;
constexpr double kGainSmoothing = 0.002;  // share of the remaining distance per sample

// Band characters: the scale from a gain setting to the sections' gain, and the fixed Q
// and exponent of the high-pass and high band curves.
constexpr double kGainScale = 1.4445;
constexpr double kMidGainScale = 1.11428;
constexpr double kHpfQ = 0.72821;
constexpr double kHfExponent = 4.8149999999999995;  // the double just below 4.815

template <typename F>
void onPair(Filter& l, Filter& r, F&& f) {
  f(l);
  f(r);
}

}  // namespace

ChannelStrip::ChannelStrip(const VectorKernels& k)
    : kernels(&k),
      hpfL(internalRate, 1, 1000.0, 1.0, 0.0),
      hpfR(internalRate, 1, 1000.0, 1.0, 0.0),
      lfShelfL(internalRate, 3, 1000.0, 1.0, 0.0),
      lfShelfR(internalRate, 3, 1000.0, 1.0, 0.0),
      lfDipL(internalRate, 1, 1000.0, 1.0, 0.0),
      lfDipR(internalRate, 1, 1000.0, 1.0, 0.0),
      lmL(internalRate, 4, 1000.0, 1.0, 0.0),
      lmR(internalRate, 4, 1000.0, 1.0, 0.0),
      hmL(internalRate, 4, 1000.0, 1.0, 0.0),
      hmR(internalRate, 4, 1000.0, 1.0, 0.0),
      hfL(internalRate, 7, 1000.0, 1.0, 0.0),
      hfR(internalRate, 7, 1000.0, 1.0, 0.0),
      hfDipL(internalRate, 8, 1000.0, 1.0, 0.0),
      hfDipR(internalRate, 8, 1000.0, 1.0, 0.0),
      sectionsL{&hpfL, &lfShelfL, &lfDipL, &lmL, &hmL, &hfL, &hfDipL},
      sectionsR{&hpfR, &lfShelfR, &lfDipR, &lmR, &hmR, &hfR, &hfDipR},
      rateChanger(k),
      cascade(k),
      output(k) {
  output.configure(sampleRate);
}

void ChannelStrip::setRateOf(Filter& f) {
  if (f.getSampleRate() != internalRate) f.setSampleRate(internalRate);
}

void ChannelStrip::updateLowCut(const StripSettings& s) {
  setRateOf(hpfL);
  setRateOf(hpfR);
  onPair(hpfL, hpfR, [](Filter& f) { f.setQ(kHpfQ); });
  onPair(hpfL, hpfR, [&](Filter& f) { f.setFreq(s.hpfFreq * 0.6 * 1.8); });
  onPair(hpfL, hpfR, [&](Filter& f) { f.setStatus(s.hpfOn); });
}

void ChannelStrip::updateLowShelf(const StripSettings& s) {
  const double f = s.lfFreq;
  const double a = std::fabs(kGainScale * s.lfGain);
  setRateOf(lfShelfL);
  setRateOf(lfShelfR);
  setRateOf(lfDipL);
  setRateOf(lfDipR);
  onPair(lfShelfL, lfShelfR, [](Filter& x) { x.setType(Filter::kLowShelf); });
  onPair(lfShelfL, lfShelfR, [&](Filter& x) { x.setFreq(0.64 * f * (8.0 - a / 5.0)); });
  onPair(lfDipL, lfDipR, [](Filter& x) { x.setType(Filter::kPeaking); });
  onPair(lfDipL, lfDipR, [&](Filter& x) {
    x.setFreq(2.56 * f * (8.0 - a / 5.0) / std::sqrt(std::pow(6.0, 0.05 * a)));
  });
  const double q = 0.5 - a / 250.0;
  onPair(lfShelfL, lfShelfR, [&](Filter& x) { x.setQ(q); });
  onPair(lfDipL, lfDipR, [&](Filter& x) { x.setQ(q); });
  onPair(lfShelfL, lfShelfR, [&](Filter& x) { x.setGain(kGainScale * s.lfGain); });
  onPair(lfShelfL, lfShelfR, [&](Filter& x) { x.setStatus(s.lfOn); });
  // The dip takes a quarter of the shelf's gain with the opposite sign.
  onPair(lfDipL, lfDipR, [&](Filter& x) { x.setGain(-0.25 * kGainScale * s.lfGain); });
  onPair(lfDipL, lfDipR, [&](Filter& x) { x.setStatus(s.lfOn); });
}

namespace {

// The mid bands' Q rises with the gain in either direction by 10^(0.0175 |gain|).
void updatePeakBand(Filter& l, Filter& r, double freq, double q, double gainDb, int on) {
  const double a = std::fabs(gainDb);
  const double qe = 0.99 * q * std::pow(std::pow(10.0, 0.05 * a), 0.35) /
                    (2.0 * std::pow(std::pow(2.0, 7.0 / 3.0), 0.35));
  onPair(l, r, [&](Filter& x) { x.setFreq(freq); });
  onPair(l, r, [&](Filter& x) { x.setQ(qe); });
  onPair(l, r, [&](Filter& x) { x.setGain(kMidGainScale * gainDb); });
  onPair(l, r, [&](Filter& x) { x.setStatus(on); });
}

}  // namespace

void ChannelStrip::updateLowMid(const StripSettings& s) {
  setRateOf(lmL);
  setRateOf(lmR);
  updatePeakBand(lmL, lmR, s.lmFreq, s.lmQ, s.lmGain, s.lmOn);
}

void ChannelStrip::updateMid(const StripSettings& s) {
  setRateOf(hmL);
  setRateOf(hmR);
  updatePeakBand(hmL, hmR, s.hmFreq, s.hmQ, s.hmGain, s.hmOn);
}

void ChannelStrip::updateHighShelf(const StripSettings& s) {
  const double f = s.hfFreq;
  const double g = s.hfGain;
  const double a = std::fabs(kGainScale * g);
  const double slope = std::pow(0.6569, s.hfPosition);
  const double k = std::pow(std::pow(2.0, kHfExponent), 0.35);
  const double lift = std::pow(std::pow(10.0, 0.05 * a), 0.35);
  setRateOf(hfL);
  setRateOf(hfR);
  setRateOf(hfDipL);
  setRateOf(hfDipR);
  onPair(hfL, hfR, [](Filter& x) { x.setType(Filter::kPeaking); });
  onPair(hfL, hfR, [&](Filter& x) { x.setFreq(1.1 * f * slope * 3.73); });
  onPair(hfDipL, hfDipR, [](Filter& x) { x.setType(Filter::kPeaking); });
  onPair(hfDipL, hfDipR,
         [&](Filter& x) { x.setFreq(slope * 3.73 * 1.1 * 0.88 * f / (42.0 / lift)); });
  hfQScale = 0.25;
  onPair(hfL, hfR, [&](Filter& x) { x.setQ(lift * hfQScale / (2.0 * k)); });
  const double dipLift = std::pow(std::pow(10.0, 0.05 * std::sqrt(a)), 0.35);
  onPair(hfDipL, hfDipR, [&](Filter& x) { x.setQ(dipLift * 2.0 * 3.5 * hfQScale / (2.0 * k)); });
  onPair(hfL, hfR, [&](Filter& x) { x.setGain(kGainScale * g); });
  onPair(hfL, hfR, [&](Filter& x) { x.setStatus(s.hfOn); });
  onPair(hfDipL, hfDipR, [&](Filter& x) { x.setGain(-0.22 * kGainScale * g); });
  onPair(hfDipL, hfDipR, [&](Filter& x) { x.setStatus(s.hfOn); });
}

void ChannelStrip::updateBands(unsigned mask, const StripSettings& s) {
  // The chunks taken so far run with the sections as they are.
  if (mask & kAllBands) finishChunks();
  if (mask & kBandLowCut) updateLowCut(s);
  if (mask & kBandLowShelf) updateLowShelf(s);
  if (mask & kBandLowMid) updateLowMid(s);
  if (mask & kBandMid) updateMid(s);
  if (mask & kBandHighShelf) updateHighShelf(s);
}

void ChannelStrip::suspend(const StripSettings& s) {
  for (int i = 0; i < kSectionPairs; ++i) {
    sectionsL[i]->suspend(true);
    sectionsR[i]->suspend(true);
  }
  for (int i = 0; i < kSectionPairs; ++i) {
    sectionsL[i]->reset();
    sectionsR[i]->reset();
  }
  outGainSmoothed = s.outGain;  // no fade-in after a pause
  meterPeak.store(0.0, std::memory_order_relaxed);
  std::memset(workL, 0, sizeof workL);
  std::memset(workR, 0, sizeof workR);
}

void ChannelStrip::resume(double hostRate, const StripSettings& s) {
  // Decided on the rate as given: a rate that is not a number does not oversample.
  oversampling = hostRate < kOversamplingBelow;
  internalRate = oversampling ? 2.0 * hostRate : hostRate;
  updateBands(kAllBands, s);
  for (int i = 0; i < kSectionPairs; ++i) {
    sectionsL[i]->suspend(false);
    sectionsR[i]->suspend(false);
  }
  sampleRate = hostRate >= kMinHostRate && hostRate <= kMaxHostRate ? hostRate : kFallbackRate;
  internalRate = oversampling ? 2.0 * sampleRate : sampleRate;
  updateBands(kAllBands, s);

  output.configure(sampleRate);
  output.clear();
  rateChanger.reset();
}

void ChannelStrip::smoothGain(double target, int n) {
  auto step = [target](double g) {
    g = g + (target - g) * kGainSmoothing;
    g += 1e-30;
    g -= 1e-30;
    return g;
  };
  double g = outGainSmoothed;
  for (int i = 0; i < n; ++i) {
    const double next = step(g);
    // Once a step leaves the value as it is, so would every further one.
    if (next == g) break;
    g = next;
  }
  outGainSmoothed = g;
}

void ChannelStrip::takeChunk(int offset, int n, const StripSettings& s) {
  Chain chain;
  chain.runLeft = s.eqOn && s.processLeft;
  chain.runRight = group.routing.stereo && s.eqOn && s.processRight;
  if (chain.runLeft || chain.runRight) chain.lfDip = s.lfDipOn, chain.hfDip = s.hfDipOn;
  if (group.chunks == kGroupChunks || (group.chunks > 0 && !(chain == group.chain))) {
    finishChunks();
  }
  if (group.chunks == 0) group.offset = offset, group.chain = chain;
  smoothGain(s.outGain, n);
  group.plan[group.chunks++] = {n, outGainSmoothed, s.satOn != 0};
  group.frames += n;
}

void ChannelStrip::runChains(Chain chain, int count) {
  if (!chain.runLeft && !chain.runRight) return;
  static constexpr Section kOrder[] = {kLfShelf, kLfDip, kLm, kHm, kHf, kHfDip, kHpf};
  Filter* chainL[kSectionPairs];
  Filter* chainR[kSectionPairs];
  int sections = 0;
  for (Section id : kOrder) {
    if ((id == kLfDip && !chain.lfDip) || (id == kHfDip && !chain.hfDip)) continue;
    chainL[sections] = sectionsL[id];
    chainR[sections] = sectionsR[id];
    ++sections;
  }
  cascade.run(chainL, chainR, sections, workL, workR, count, chain.runLeft, chain.runRight);
}

void ChannelStrip::finishChunks() {
  if (group.chunks == 0) return;
  if (group.doubles) {
    finishGroup<double>();
  } else {
    finishGroup<float>();
  }
  group.chunks = 0;
  group.frames = 0;
}

template <typename Sample>
void ChannelStrip::finishGroup() {
  const int n = group.frames;
  const bool stereo = group.routing.stereo;
  // A sample that is not a finite number (a glitch upstream) enters as silence: in the
  // sections' recursion it would otherwise turn every later output into NaN.
  read(static_cast<const Sample*>(group.inputs[0]) + group.offset, workL, n);
  if (stereo) read(static_cast<const Sample*>(group.inputs[1]) + group.offset, workR, n);

  processGroup();

  // A NaN output leaves its mark as a full-scale peak rather than vanishing from the meter.
  Sample* out0 = static_cast<Sample*>(group.outputs[0]) + group.offset;
  Sample* out1 =
      group.routing.secondOutput ? static_cast<Sample*>(group.outputs[1]) + group.offset : nullptr;
  Peaks& peaks = *group.peaks;
  if (stereo) {
    // With one output, right is written first and left last, so output 0 holds left.
    write(workR, out1 ? out1 : out0, n, peaks.right);
    write(workL, out0, n, peaks.left);
  } else {
    write(workL, out0, n, peaks.left);
    if (out1 && out1 != out0) std::memmove(out1, out0, sizeof(Sample) * n);
  }
}

void ChannelStrip::processGroup() {
  const int n = group.frames;
  const bool stereo = group.routing.stereo;
  if (oversampling) {
    rateChanger.upsample(workL, workR, n, stereo);
  } else {
    rateChanger.delay(workL, workR, n, stereo);
  }
  runChains(group.chain, oversampling ? 2 * n : n);
  if (oversampling) {
    Oversampler::downsample(workL, n);
    if (stereo) Oversampler::downsample(workR, n);
  }
  // Chunks that share their gain and saturation switch (the rule once the gain has settled)
  // go through the output stage together.
  for (int first = 0, at = 0; first < group.chunks;) {
    const ChunkPlan& p = group.plan[first];
    int frames = p.frames, next = first + 1;
    for (; next < group.chunks; ++next) {
      const ChunkPlan& q = group.plan[next];
      if (q.gain != p.gain || q.satOn != p.satOn) break;
      frames += q.frames;
    }
    output.process(workL + at, workR + at, frames, p.gain, p.satOn, stereo);
    at += frames;
    first = next;
  }
}
