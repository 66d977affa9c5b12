// Orders of lifecycle calls that real hosts use, each on a fresh instance: nothing crashes and
// the output stays finite.
#include <cmath>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kOtherRate = 96000.0;
constexpr int kBlock = 512;
constexpr int kOtherBlock = 1024;
constexpr int kBlocks = 8;

// A few blocks of noise; false when any output sample is not finite.
bool processNoise(PluginHost& host, int frames) {
  AEffect* e = host.effect();
  AudioBuffers<float> buffers(*e, frames);
  Noise noise(7);
  for (int b = 0; b < kBlocks; ++b) {
    buffers.fill(frames, [&](int, int) { return 0.25 * noise.next(); });
    buffers.process(e, frames);
    if (!std::isfinite(buffers.peak(frames))) return false;
  }
  return true;
}

void announce(PluginHost& host) {
  host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
  host.dispatch(effSetBlockSize, 0, kBlock);
}

struct Order {
  const char* name;
  bool (*run)(PluginHost& host);  // false: an output was not finite
};

const Order kOrders[] = {
    {"process before the first resume",
     [](PluginHost& host) {
       announce(host);
       return processNoise(host, kBlock);
     }},
    {"resume twice",
     [](PluginHost& host) {
       CheckContext::start(host, kRate, kBlock);
       host.dispatch(effMainsChanged, 0, 1);
       return processNoise(host, kBlock);
     }},
    {"suspend without resume",
     [](PluginHost& host) {
       announce(host);
       host.dispatch(effMainsChanged, 0, 0);
       host.dispatch(effMainsChanged, 0, 0);
       CheckContext::start(host, kRate, kBlock);
       return processNoise(host, kBlock);
     }},
    {"sample rate and block size changed while resumed",
     [](PluginHost& host) {
       CheckContext::start(host, kRate, kBlock);
       const bool before = processNoise(host, kBlock);
       host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kOtherRate));
       host.dispatch(effSetBlockSize, 0, kOtherBlock);
       const bool during = processNoise(host, kOtherBlock);
       host.dispatch(effMainsChanged, 0, 0);
       host.dispatch(effMainsChanged, 0, 1);
       return before && during && processNoise(host, kOtherBlock);
     }},
    {"processing stopped and started without suspend",
     [](PluginHost& host) {
       CheckContext::start(host, kRate, kBlock);
       bool finite = true;
       for (int i = 0; i < 3; ++i) {
         host.dispatch(effStopProcess);
         host.dispatch(effStartProcess);
         finite = processNoise(host, kBlock) && finite;
       }
       return finite;
     }},
    {"close without suspend",
     [](PluginHost& host) {
       CheckContext::start(host, kRate, kBlock);
       return processNoise(host, kBlock);  // the instance closes still resumed
     }},
    {"close right after open", [](PluginHost&) { return true; }},
};

}  // namespace

void checkLifecycle(CheckContext& context) {
  int orders = 0;
  for (const Order& order : kOrders) {
    auto host = context.load();
    if (!host) return;
    context.report.step("%s", order.name);
    if (!order.run(*host))
      context.report.fail(std::string(order.name) + ": the output is not finite");
    context.report.step("%s: closing", order.name);
    host.reset();
    ++orders;
  }
  if (!context.report.failed())
    context.report.pass(std::to_string(orders) + " orders of calls, output finite throughout");
}
