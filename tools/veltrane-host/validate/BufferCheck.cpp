// Every sample rate and block size a host may use, calls with fewer frames than announced and
// with none: the output is finite and bounded for bounded input, and nothing outside a call's
// frames is written.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRates[] = {8000, 22050, 44100, 48000, 96000, 192000, 384000};
constexpr int kBlocks[] = {1, 7, 64, 512, 4096, 8192};
constexpr double kSecondsPerCase = 0.05;
constexpr int kLeastBlocksPerCase = 3;
// The input peaks at 0.6; an output beyond +40 dB of that at default settings is runaway.
constexpr double kInputLevel = 0.5;
constexpr double kNoiseLevel = 0.1;
constexpr double kBound = 100.0;

template <typename Sample>
double runCase(CheckContext& context, PluginHost& host, const char* precision, double rate,
               int block) {
  AEffect* e = host.effect();
  host.stop();
  CheckContext::start(host, rate, block);
  AudioBuffers<Sample> buffers(*e, block);
  Noise noise(context.options.seed);
  const double step = 2.0 * std::numbers::pi * 997.0 / rate;
  long long frame = 0;
  auto signal = [&](int, int i) {
    return kInputLevel * std::sin(step * static_cast<double>(frame + i)) +
           kNoiseLevel * noise.next();
  };
  const std::string where = std::string(precision) + " at " + formatted("%g Hz", rate);
  double peak = 0.0;
  auto call = [&](int frames) {
    buffers.mark();
    buffers.fill(frames, signal);
    buffers.process(e, frames);
    frame += frames;
    if (buffers.writtenOutside(frames))
      context.report.fail(
          where +
          formatted(": a call with %d of %d announced frames wrote outside them", frames, block));
    peak = louder(peak, buffers.peak(frames));
  };
  const long long total = std::max<long long>(static_cast<long long>(kSecondsPerCase * rate),
                                              static_cast<long long>(kLeastBlocksPerCase) * block);
  context.report.step("%s, blocks of %d", where.c_str(), block);
  while (frame < total) call(block);
  context.report.step("%s, blocks of %d: shorter calls", where.c_str(), block);
  for (int frames : {0, block / 2, 1, 0}) call(frames);
  if (!(peak <= kBound))
    context.report.fail(
        where +
        formatted(", blocks of %d: the output reached %g for input within 0.6", block, peak));
  return peak;
}

template <typename Sample>
double runPrecision(CheckContext& context, const char* precision) {
  auto host = context.load();
  if (!host) return 0.0;
  double peak = 0.0;
  for (double rate : kRates)
    for (int block : kBlocks)
      peak = louder(peak, runCase<Sample>(context, *host, precision, rate, block));
  return peak;
}

}  // namespace

void checkBuffers(CheckContext& context) {
  auto probe = context.load();
  if (!probe) return;
  const bool offersDouble = CheckContext::offersDouble(*probe);
  probe.reset();
  double peak = runPrecision<float>(context, "float");
  if (offersDouble) peak = louder(peak, runPrecision<double>(context, "double"));
  if (context.report.failed()) return;
  context.report.pass(formatted(
      "%s at %zu rates from 8 to 384 kHz, blocks of 1 to 8192 frames and shorter calls: largest "
      "output %.3g, nothing written outside a call's frames",
      offersDouble ? "float and double" : "float", std::size(kRates), peak));
}
