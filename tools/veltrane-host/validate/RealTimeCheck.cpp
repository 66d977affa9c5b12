// Real-time safety: no heap allocation or free and no mutex lock on the processing thread,
// during steady processing, during automation and right after a chunk was set.
#include <random>
#include <string>
#include <vector>

#include "CallCounter.h"
#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kAutomatedPerBlock = 4;
constexpr int kChunkSwaps = 10;
constexpr int kBlocksAfterChunk = 5;
constexpr double kInputLevel = 0.1;

struct Phase {
  const char* name;
  CallCounter::Counts counts;
  long blocks = 0;
};

template <typename Sample>
class Processor {
 public:
  explicit Processor(PluginHost& host) : host_(host), buffers_(*host.effect(), kBlock), noise_(5) {}
  // One block, counted; the host's own work (filling, the callback) is not.
  void block(Phase& phase, const std::vector<std::pair<int, float>>& automation = {}) {
    buffers_.fill(kBlock, [&](int, int) { return kInputLevel * noise_.next(); });
    AEffect* e = host_.effect();
    CallCounter::reset();
    {
      const CallCounter::Scope counted;
      for (const auto& [index, value] : automation) e->setParameter(e, index, value);
      buffers_.process(e, kBlock);
    }
    const CallCounter::Counts c = CallCounter::counts();
    phase.counts.allocations += c.allocations;
    phase.counts.frees += c.frees;
    phase.counts.mutexLocks += c.mutexLocks;
    ++phase.blocks;
  }

 private:
  PluginHost& host_;
  AudioBuffers<Sample> buffers_;
  Noise noise_;
};

template <typename Sample>
void runPhases(CheckContext& context, std::vector<Phase>& phases, const char* precision) {
  auto host = context.load();
  if (!host) return;
  AEffect* e = host->effect();
  std::vector<unsigned char> chunks[2];
  if (e->flags & effFlagsProgramChunks) {
    chunks[0] = CheckContext::chunkOf(*host);
    context.randomise(*host);
    chunks[1] = CheckContext::chunkOf(*host);
  }
  CheckContext::start(*host, kRate, kBlock);
  Processor<Sample> processor(*host);
  const long steadyBlocks = static_cast<long>(context.options.seconds * kRate / kBlock);

  Phase steady{"steady processing", {}, 0}, automation{"automation", {}, 0},
      afterChunk{"after setChunk", {}, 0};
  context.report.step("%s: steady processing", precision);
  for (long b = 0; b < steadyBlocks; ++b) processor.block(steady);

  context.report.step("%s: automation", precision);
  std::uniform_int_distribution<int> index(0, std::max(e->numParams - 1, 0));
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  std::vector<std::pair<int, float>> changes(kAutomatedPerBlock);
  for (long b = 0; b < steadyBlocks && e->numParams > 0; ++b) {
    for (auto& change : changes) change = {index(context.random), value(context.random)};
    processor.block(automation, changes);
  }

  if (!chunks[0].empty() && !chunks[1].empty()) {
    context.report.step("%s: processing after setChunk", precision);
    for (int swap = 0; swap < kChunkSwaps; ++swap) {
      CheckContext::setChunk(*host, chunks[swap % 2]);
      for (int b = 0; b < kBlocksAfterChunk; ++b) processor.block(afterChunk);
    }
  }
  host->stop();
  for (Phase* phase : {&steady, &automation, &afterChunk}) {
    if (phase->blocks == 0) continue;
    phases.push_back(*phase);
    if (phase->counts.allocations || phase->counts.frees || phase->counts.mutexLocks)
      context.report.fail(
          formatted("%s, %s: %ld allocations, %ld frees, %ld mutex locks in %ld blocks", precision,
                    phase->name, phase->counts.allocations, phase->counts.frees,
                    phase->counts.mutexLocks, phase->blocks));
  }
}

}  // namespace

void checkRealTime(CheckContext& context) {
  if (!CallCounter::available()) {
    context.report.skip(
        "this program was built without the call counting hooks (only veltrane-host has them)");
    return;
  }
  bool withDouble = false;
  {
    auto probe = context.load();
    if (!probe) return;
    withDouble = CheckContext::offersDouble(*probe);
  }
  std::vector<Phase> phases;
  runPhases<float>(context, phases, "float");
  if (withDouble) runPhases<double>(context, phases, "double");
  if (context.report.failed()) return;
  long blocks = 0;
  std::string names;
  for (const Phase& phase : phases) {
    blocks += phase.blocks;
    if (names.find(phase.name) == std::string::npos)
      names.append(names.empty() ? "" : ", ").append(phase.name);
  }
  context.report.pass(formatted(
      "0 allocations, 0 frees, 0 mutex locks on the processing thread in %ld blocks (%s; %s); "
      "counted through %s",
      blocks, names.c_str(), withDouble ? "float and double" : "float", CallCounter::method()));
}
