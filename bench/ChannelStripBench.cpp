// Real-time factor of the channel strip: seconds of audio processed per CPU second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "plugin/ChannelStrip.h"
#include "tests/plugin/StripTestSupport.h"

namespace {

enum Variant { kSteady, kGliding, kMono };

void runStrip(benchmark::State& state, double rate, Variant variant) {
  const int block = static_cast<int>(state.range(0));
  // The worst steady case: every band, both dips and the saturation at work.
  StripSettings s = strip_test::allBandsOn();
  ChannelStrip strip;
  strip.suspend(s);
  strip.resume(rate, s);

  std::mt19937 rng(1);
  std::uniform_real_distribution<float> d(-0.5f, 0.5f);
  std::vector<float> inL(block), inR(block), outL(block), outR(block);
  for (int i = 0; i < block; ++i) inL[i] = d(rng), inR[i] = d(rng);
  const float* in[2] = {inL.data(), inR.data()};
  float* out[2] = {outL.data(), outR.data()};
  const ChannelStrip::Routing routing{variant != kMono, true};

  std::int64_t blocks = 0;
  for (auto _ : state) {
    bool pending = variant == kGliding;
    if (pending) s.lmGain = (blocks & 1) ? 3.5 : 4.0;
    strip.process(in, out, block, routing, s, [&](ChannelStrip& st) {
      if (pending) st.updateBands(kBandLowMid, s);
      pending = false;
    });
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
    ++blocks;
  }
  const double audioSeconds = static_cast<double>(blocks) * block / rate;
  state.counters["rt_factor"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

void StereoSteady44k(benchmark::State& st) { runStrip(st, 44100.0, kSteady); }
void StereoGliding44k(benchmark::State& st) { runStrip(st, 44100.0, kGliding); }
void Mono44k(benchmark::State& st) { runStrip(st, 44100.0, kMono); }
void StereoSteady96k(benchmark::State& st) { runStrip(st, 96000.0, kSteady); }

}  // namespace

BENCHMARK(StereoSteady44k)->Arg(64)->Arg(512);
BENCHMARK(StereoGliding44k)->Arg(64)->Arg(512);
BENCHMARK(Mono44k)->Arg(64)->Arg(512);
BENCHMARK(StereoSteady96k)->Arg(64)->Arg(512);
