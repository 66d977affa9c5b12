// Real-time factor of the channel strip: seconds of audio processed per CPU second. The
// plain names run on the path the process selected (VELTRANE_SIMD can force one); the same
// cases follow with /sse2, /avx2 and /avx512 for every path this CPU has, side by side.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "plugin/ChannelStrip.h"
#include "tests/plugin/StripTestSupport.h"

namespace {

enum Variant { kSteady, kGliding, kMono, kLeftOnly };

void runStrip(benchmark::State& state, double rate, Variant variant, const VectorKernels& kernels) {
  const int block = static_cast<int>(state.range(0));
  // The worst steady case: every band, both dips and the saturation at work.
  StripSettings s = strip_test::allBandsOn();
  s.processRight = variant == kLeftOnly ? 0 : 1;  // the left chain alone, in a stereo loop
  ChannelStrip strip(kernels);
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
  state.SetLabel(simdPathName(kernels.path));
}

struct Case {
  const char* name;
  double rate;
  Variant variant;
};
constexpr Case kCases[] = {{"StereoSteady44k", 44100.0, kSteady},
                           {"StereoGliding44k", 44100.0, kGliding},
                           {"Mono44k", 44100.0, kMono},
                           {"StereoLeftOnly44k", 44100.0, kLeftOnly},
                           {"StereoSteady96k", 96000.0, kSteady}};

const bool kRegistered = [] {
  for (const Case& c : kCases) {
    benchmark::RegisterBenchmark(
        c.name,
        [c](benchmark::State& st) { runStrip(st, c.rate, c.variant, VectorKernels::selected()); })
        ->Arg(64)
        ->Arg(512);
  }
  for (const Case& c : kCases) {
    for (SimdPath path : kSimdPaths) {
      if (!isSimdPathSupported(path)) continue;
      const std::string name = std::string(c.name) + "/" + simdPathName(path);
      benchmark::RegisterBenchmark(name.c_str(), [c, path](benchmark::State& st) {
        runStrip(st, c.rate, c.variant, VectorKernels::forPath(path));
      })->Arg(512);
    }
  }
  return true;
}();

}  // namespace
