// Input no host should send but some do: not-a-number, infinities, subnormals, full-scale DC
// and square. Clean input afterwards must give finite output again within a second, and
// subnormal input must not cost much more than normal input.
#include <time.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr double kBadSeconds = 0.25;
constexpr double kCleanSeconds = 1.0;
constexpr double kJudgedSeconds = 0.1;  // the end of the clean second must be finite
constexpr double kCleanLevel = 0.1;
constexpr double kBound = 100.0;
constexpr double kSquareHz = 1000.0;
// Subnormal cost: rounds of a few blocks each, taking each kind's cheapest round, after a
// second that lets the plug-in's state settle at its input's level.
constexpr int kTimingRounds = 15;
constexpr int kBlocksPerRound = 20;
constexpr double kSettleSeconds = 1.0;
constexpr double kMostCost = 3.0;

struct BadSignal {
  const char* name;
  double (*value)(long long frame, double noise);
  bool bounded;  // a finite input whose output must stay finite too
};

const BadSignal kSignals[] = {
    {"not-a-number", [](long long, double) { return std::numeric_limits<double>::quiet_NaN(); },
     false},
    {"infinities", [](long long i, double) -> double { return i % 2 ? -INFINITY : INFINITY; },
     false},
    {"subnormals", [](long long, double n) { return n * FLT_MIN * 0.5; }, true},
    {"full-scale DC", [](long long, double) { return 1.0; }, true},
    {"full-scale square",
     [](long long i, double) {
       const auto half = static_cast<long long>(kRate / kSquareHz / 2);
       return (i / half) % 2 ? -1.0 : 1.0;
     },
     true},
};

long long framesOf(double seconds) { return static_cast<long long>(seconds * kRate); }

// Feeds `frames` of a signal; returns the peak of the output from frame `judgedFrom` on.
template <typename Signal>
double feed(AEffect* e, AudioBuffers<float>& buffers, long long frames, long long judgedFrom,
            Signal&& signal) {
  double peak = 0.0;
  for (long long done = 0; done < frames; done += kBlock) {
    const int n = static_cast<int>(std::min<long long>(kBlock, frames - done));
    buffers.fill(n, [&](int c, int i) { return signal(c, done + i); });
    buffers.process(e, n);
    if (done + n > judgedFrom) peak = louder(peak, buffers.peak(n));
  }
  return peak;
}

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// How much more CPU time subnormal input costs than normal input of the same shape, in the
// given precision. Two instances, one for each kind, so neither pulls the other's state out
// of its range; their rounds alternate, so a busy machine slows both alike.
template <typename Sample>
double subnormalCost(CheckContext& context) {
  auto normal = context.load();
  auto subnormal = context.load();
  if (!normal || !subnormal) return 0.0;
  const double tiny = sizeof(Sample) == sizeof(double) ? DBL_MIN * 0.5 : FLT_MIN * 0.5;
  struct Runner {
    PluginHost& host;
    double scale;
    AudioBuffers<Sample> buffers;
    Noise noise;
    double run(int blocks) {
      const double started = threadSeconds();
      for (int b = 0; b < blocks; ++b) {
        buffers.fill(kBlock, [&](int, int) { return scale * noise.next(); });
        buffers.process(host.effect(), kBlock);
      }
      return threadSeconds() - started;
    }
  };
  Runner runners[] = {
      {*normal, kCleanLevel, AudioBuffers<Sample>(*normal->effect(), kBlock), Noise(3)},
      {*subnormal, tiny, AudioBuffers<Sample>(*subnormal->effect(), kBlock), Noise(3)}};
  double fastest[2] = {INFINITY, INFINITY};
  for (int k = 0; k < 2; ++k) {
    CheckContext::start(runners[k].host, kRate, kBlock);
    runners[k].run(static_cast<int>(framesOf(kSettleSeconds) / kBlock));
  }
  for (int round = 0; round < kTimingRounds; ++round) {
    context.report.step("subnormal cost (%d-byte samples), round %d",
                        static_cast<int>(sizeof(Sample)), round);
    for (int k = 0; k < 2; ++k) fastest[k] = std::min(fastest[k], runners[k].run(kBlocksPerRound));
  }
  return fastest[0] > 0.0 ? fastest[1] / fastest[0] : 1.0;
}

}  // namespace

void checkBadInput(CheckContext& context) {
  auto host = context.load();
  if (!host) return;
  AEffect* e = host->effect();
  const bool withDouble = CheckContext::offersDouble(*host);
  CheckContext::start(*host, kRate, kBlock);
  AudioBuffers<float> buffers(*e, kBlock);
  Noise noise(context.options.seed);
  for (const BadSignal& signal : kSignals) {
    context.report.step("%s", signal.name);
    const double badPeak = feed(e, buffers, framesOf(kBadSeconds), 0,
                                [&](int, long long i) { return signal.value(i, noise.next()); });
    if (signal.bounded && !(badPeak <= kBound))
      context.report.fail(formatted("%s: the output reached %g", signal.name, badPeak));
    context.report.step("clean input after %s", signal.name);
    const double cleanPeak =
        feed(e, buffers, framesOf(kCleanSeconds), framesOf(kCleanSeconds - kJudgedSeconds),
             [&](int, long long) { return kCleanLevel * noise.next(); });
    if (!(cleanPeak <= kBound))
      context.report.fail(formatted("%s: a second of clean input later the output is still %g",
                                    signal.name, cleanPeak));
  }
  host.reset();

  std::string costs;
  for (int precision = 0; precision < (withDouble ? 2 : 1); ++precision) {
    const char* name = precision ? "double" : "float";
    const double cost = precision ? subnormalCost<double>(context) : subnormalCost<float>(context);
    if (!(cost <= kMostCost))
      context.report.fail(formatted(
          "subnormal input costs %.1fx normal input in %s (at most %.0fx)", cost, name, kMostCost));
    costs.append(costs.empty() ? "" : ", ").append(formatted("%.2fx in %s", cost, name));
  }
  if (!context.report.failed())
    context.report.pass(
        "finite output a second after not-a-number, infinities, subnormals, full-scale DC and "
        "square; subnormal input costs " +
        costs + " of normal input");
}
