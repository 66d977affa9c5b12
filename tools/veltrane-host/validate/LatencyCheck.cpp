// The latency a plug-in reports: at every sample rate where its response at default settings
// is a delay, a unit impulse comes out at `initialDelay`; and whenever `initialDelay` changes,
// the host is told with audioMasterIOChanged before it reads the value again (after resume).
#include <cmath>
#include <string>
#include <vector>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRates[] = {8000, 22050, 44100, 48000, 96000, 192000, 384000, 44100};
constexpr int kBlock = 512;
constexpr int kTailFrames = 4096;  // after the reported delay
// A response is a delay when one sample carries nearly all of its energy; filters that are
// transparent at default settings still smear an impulse a little.
constexpr double kDelayEnergyShare = 0.5;

struct Response {
  long peakFrame = -1;
  double share = 0.0;  // of the energy in the peak sample
};

Response impulseResponse(PluginHost& host, int delay) {
  AEffect* e = host.effect();
  AudioBuffers<float> buffers(*e, kBlock);
  const long frames = static_cast<long>(std::max(delay, 0)) + kTailFrames;
  Response r;
  double energy = 0.0, peak = 0.0;
  for (long done = 0; done < frames; done += kBlock) {
    buffers.fill(kBlock, [&](int, int i) { return done + i == 0 ? 1.0 : 0.0; });
    buffers.process(e, kBlock);
    if (buffers.outputCount() == 0) break;
    for (int i = 0; i < kBlock; ++i) {
      const double v = buffers.output(0)[i];
      energy += v * v;
      if (std::fabs(v) > peak) {
        peak = std::fabs(v);
        r.peakFrame = done + i;
      }
    }
  }
  r.share = energy > 0.0 && std::isfinite(energy) ? peak * peak / energy : 0.0;
  return r;
}

}  // namespace

void checkLatency(CheckContext& context) {
  auto host = context.load();
  if (!host) return;
  AEffect* e = host->effect();
  if (e->numInputs < 1 || e->numOutputs < 1) {
    context.report.skip("the plug-in has no audio input or output to send an impulse through");
    return;
  }
  int known = e->initialDelay;
  int announced = host->ioChangedCount();
  int changes = 0, delays = 0;
  std::string seen, notDelays;
  for (double rate : kRates) {
    context.report.step("latency at %g Hz", rate);
    host->stop();
    CheckContext::start(*host, rate, kBlock);
    const int delay = e->initialDelay;
    if (delay != known) {
      ++changes;
      if (host->ioChangedCount() == announced)
        context.report.fail(formatted(
            "at %g Hz the latency changed from %d to %d samples without audioMasterIOChanged", rate,
            known, delay));
    }
    known = delay;
    announced = host->ioChangedCount();
    const Response response = impulseResponse(*host, delay);
    const std::string where = formatted("%d at %g kHz", delay, rate / 1000.0);
    if (response.share < kDelayEnergyShare) {
      notDelays.append(notDelays.empty() ? "" : ", ").append(formatted("%g", rate / 1000.0));
      continue;
    }
    ++delays;
    seen.append(seen.empty() ? "" : ", ").append(where);
    if (response.peakFrame != delay)
      context.report.fail(
          formatted("at %g Hz an impulse comes out after %ld samples; the plug-in reports %d", rate,
                    response.peakFrame, delay));
  }
  host->stop();
  if (!notDelays.empty())
    context.report.warn(
        "at " + notDelays +
        " kHz the response at default settings is not a delay; the latency was not measured there");
  if (context.report.failed()) return;
  if (delays == 0) {
    context.report.skip(
        formatted("the response at default settings is not a delay at any rate; %d latency changes "
                  "were announced",
                  changes));
    return;
  }
  context.report.pass("impulse at the reported delay (" + seen + "); " + std::to_string(changes) +
                      " latency changes, each announced with audioMasterIOChanged");
}
