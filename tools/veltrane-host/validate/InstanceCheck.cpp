// Two instances at different settings, processed interleaved and in place, give the outputs
// each gives alone: nothing is shared between instances.
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 256;
constexpr int kBlocks = 80;
constexpr double kInputLevel = 0.2;

struct Setting {
  std::vector<float> values;
  std::uint32_t noiseSeed;
};

void apply(const PluginHost& host, const Setting& setting) {
  AEffect* e = host.effect();
  for (int i = 0; i < e->numParams; ++i)
    e->setParameter(e, i, setting.values[static_cast<std::size_t>(i)]);
}

// The instance's output block by block, channels one after another.
class Run {
 public:
  Run(PluginHost& host, const Setting& setting, bool inPlace)
      : host_(host), buffers_(*host.effect(), kBlock), noise_(setting.noiseSeed) {
    apply(host, setting);
    buffers_.processInPlace(inPlace);
    CheckContext::start(host, kRate, kBlock);
  }
  std::vector<float> block() {
    buffers_.fill(kBlock, [&](int, int) { return kInputLevel * noise_.next(); });
    buffers_.process(host_.effect(), kBlock);
    std::vector<float> out;
    for (int c = 0; c < buffers_.outputCount(); ++c)
      out.insert(out.end(), buffers_.output(c), buffers_.output(c) + kBlock);
    return out;
  }

 private:
  PluginHost& host_;
  AudioBuffers<float> buffers_;
  Noise noise_;
};

}  // namespace

void checkInstances(CheckContext& context) {
  Setting settings[2];
  {
    auto probe = context.load();
    if (!probe) return;
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int k = 0; k < 2; ++k) {
      for (int i = 0; i < probe->effect()->numParams; ++i)
        settings[k].values.push_back(value(context.random));
      settings[k].noiseSeed = context.options.seed * 2u + static_cast<std::uint32_t>(k) + 1u;
    }
  }
  std::vector<std::vector<float>> alone[2];
  for (int k = 0; k < 2; ++k) {
    context.report.step("instance %c alone", 'A' + k);
    auto host = context.load();
    if (!host) return;
    Run run(*host, settings[k], false);
    for (int b = 0; b < kBlocks; ++b) alone[k].push_back(run.block());
  }
  context.report.step("both instances interleaved, in place");
  auto first = context.load();
  auto second = context.load();
  if (!first || !second) return;
  Run runs[] = {Run(*first, settings[0], true), Run(*second, settings[1], true)};
  for (int b = 0; b < kBlocks; ++b) {
    for (int k = 0; k < 2; ++k) {
      const std::vector<float> out = runs[k].block();
      if (std::memcmp(out.data(), alone[k][b].data(), out.size() * sizeof(float)) != 0) {
        context.report.fail(
            formatted("instance %c interleaved with another and in place differs from its output "
                      "alone in block %d",
                      'A' + k, b));
        return;
      }
    }
  }
  context.report.pass(
      formatted("two instances at different settings, interleaved and in place: %d blocks each "
                "identical to their output alone",
                kBlocks));
}
