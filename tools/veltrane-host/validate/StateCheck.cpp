// The plug-in's state through its chunk: a copy in a second instance reads the same and
// sounds bit for bit the same; damaged chunks never crash or hang it, and one it does not
// take changes nothing.
#include <cmath>
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ChunkMutations.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kCompareBlocks = 40;
constexpr int kMutationBlock = 64;
constexpr double kInputLevel = 0.2;

bool named(const PluginHost& host, int index) {
  return host.text(effGetParamName, index).find_first_not_of(' ') != std::string::npos;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// "2-5, 10, 11" for a sorted list of indexes.
std::string ranges(const std::vector<int>& indexes) {
  std::string text;
  for (std::size_t i = 0; i < indexes.size();) {
    std::size_t j = i;
    while (j + 1 < indexes.size() && indexes[j + 1] == indexes[j] + 1) ++j;
    text.append(text.empty() ? "" : ", ").append(std::to_string(indexes[i]));
    if (j > i) text.append(j > i + 1 ? "-" : ", ").append(std::to_string(indexes[j]));
    i = j + 1;
  }
  return text;
}

// Whether the two instances give the same output, bit for bit, for the same input after the
// same resume; a failure says where they first differ.
bool soundAlike(CheckContext& context, PluginHost& original, PluginHost& copy, const char* kind) {
  PluginHost* hosts[] = {&original, &copy};
  std::vector<float> outputs[2];
  for (int k = 0; k < 2; ++k) {
    AEffect* e = hosts[k]->effect();
    CheckContext::start(*hosts[k], kRate, kBlock);
    AudioBuffers<float> buffers(*e, kBlock);
    Noise noise(context.options.seed);
    for (int b = 0; b < kCompareBlocks; ++b) {
      buffers.fill(kBlock, [&](int, int) { return kInputLevel * noise.next(); });
      buffers.process(e, kBlock);
      for (int c = 0; c < buffers.outputCount(); ++c)
        outputs[k].insert(outputs[k].end(), buffers.output(c), buffers.output(c) + kBlock);
    }
    hosts[k]->stop();
  }
  for (std::size_t i = 0; i < outputs[0].size(); ++i) {
    if (!sameBits(outputs[0][i], outputs[1][i])) {
      context.report.fail(formatted(
          "after the %s chunk the copy sounds different: sample %zu is %.9g, not %.9g", kind, i,
          static_cast<double>(outputs[1][i]), static_cast<double>(outputs[0][i])));
      return false;
    }
  }
  return true;
}

struct Baseline {
  std::vector<float> values;
  std::vector<unsigned char> chunk;
  static Baseline of(const PluginHost& host) {
    return {CheckContext::parameterValues(host), CheckContext::chunkOf(host)};
  }
};

struct MutationCounts {
  int taken = 0;
  int refused = 0;
  bool nullTaken = false;
};

MutationCounts applyMutations(CheckContext& context, const std::vector<unsigned char>& base,
                              const VstIntPtr takenAnswer[2]) {
  MutationCounts counts;
  auto host = context.load();
  if (!host) return counts;
  AEffect* e = host->effect();
  CheckContext::setChunk(*host, base);
  CheckContext::start(*host, kRate, kMutationBlock);
  AudioBuffers<float> buffers(*e, kMutationBlock);
  Noise noise(context.options.seed);
  Baseline before = Baseline::of(*host);

  context.report.step("preparing the mutated chunks");
  const std::vector<MutatedChunk> mutations = mutateChunk(base, context.random);
  std::size_t largest = 0;
  for (const auto& m : mutations) largest = std::max(largest, m.bytes.size());
  GuardedBytes guarded(largest);
  for (std::size_t n = 0; n < mutations.size(); ++n) {
    const MutatedChunk& m = mutations[n];
    const bool program = n % 2 == 1;
    context.report.step("mutated chunk %zu of %zu: %s", n + 1, mutations.size(), m.name.c_str());
    void* data = m.nullPointer ? nullptr : guarded.place(m.bytes);
    const VstIntPtr answer = host->dispatch(effSetChunk, program ? 1 : 0, m.size, data);
    const bool taken = answer == takenAnswer[program ? 1 : 0] && !m.nullPointer;
    if (m.nullPointer && answer == takenAnswer[program ? 1 : 0]) counts.nullTaken = true;

    buffers.fill(kMutationBlock, [&](int, int) { return kInputLevel * noise.next(); });
    buffers.process(e, kMutationBlock);
    if (!std::isfinite(buffers.peak(kMutationBlock)))
      context.report.fail("after " + m.name + " the output is not finite");
    const std::vector<float> values = CheckContext::parameterValues(*host);
    for (std::size_t i = 0; i < values.size(); ++i)
      if (!(values[i] >= 0.0f && values[i] <= 1.0f))
        context.report.fail(formatted("after %s parameter %zu reads %g", m.name.c_str(), i,
                                      static_cast<double>(values[i])));
    if (taken) {
      ++counts.taken;
      CheckContext::setChunk(*host, base);
      before = Baseline::of(*host);
      continue;
    }
    ++counts.refused;
    for (std::size_t i = 0; i < values.size(); ++i)
      if (!sameBits(values[i], before.values[i]))
        context.report.fail(
            formatted("%s was not taken (answer %lld) but parameter %zu changed from %g to %g",
                      m.name.c_str(), static_cast<long long>(answer), i,
                      static_cast<double>(before.values[i]), static_cast<double>(values[i])));
    if (CheckContext::chunkOf(*host) != before.chunk)
      context.report.fail(formatted("%s was not taken (answer %lld) but the next chunk differs",
                                    m.name.c_str(), static_cast<long long>(answer)));
  }
  host->stop();
  return counts;
}

}  // namespace

void checkState(CheckContext& context) {
  std::vector<float> values;
  {
    auto probe = context.load();
    if (!probe) return;
    if (!(probe->effect()->flags & effFlagsProgramChunks)) {
      context.report.skip("the plug-in keeps its state in its parameters, not in chunks");
      return;
    }
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int i = 0; i < probe->effect()->numParams; ++i) values.push_back(value(context.random));
  }
  std::vector<int> unnamedDifferent;
  VstIntPtr takenAnswer[2] = {0, 0};
  std::vector<unsigned char> bank;
  for (bool program : {false, true}) {
    const char* kind = program ? "program" : "bank";
    context.report.step("a copy through the %s chunk", kind);
    // Both fresh, so that both meet their first resume in the same state.
    auto original = context.load();
    auto copy = context.load();
    if (!original || !copy) return;
    AEffect* e = original->effect();
    for (int i = 0; i < e->numParams; ++i)
      e->setParameter(e, i, values[static_cast<std::size_t>(i)]);
    const std::vector<float> read = CheckContext::parameterValues(*original);
    const std::vector<unsigned char> chunk = CheckContext::chunkOf(*original, program);
    if (chunk.empty()) {
      context.report.fail(std::string("effGetChunk gives no ") + kind + " chunk");
      continue;
    }
    if (!program) bank = chunk;
    takenAnswer[program] = CheckContext::setChunk(*copy, chunk, program);
    const std::vector<float> copied = CheckContext::parameterValues(*copy);
    for (int i = 0; i < e->numParams; ++i) {
      if (sameBits(read[i], copied[i])) continue;
      if (!named(*copy, i)) {
        if (std::find(unnamedDifferent.begin(), unnamedDifferent.end(), i) ==
            unnamedDifferent.end())
          unnamedDifferent.push_back(i);
        continue;
      }
      context.report.fail(formatted(
          "after the %s chunk parameter %d (\"%s\") reads %.9g in the copy, %.9g in the original",
          kind, i, original->text(effGetParamName, i).c_str(), static_cast<double>(copied[i]),
          static_cast<double>(read[i])));
    }
    soundAlike(context, *original, *copy, kind);
  }
  std::sort(unnamedDifferent.begin(), unnamedDifferent.end());
  if (!unnamedDifferent.empty())
    context.report.warn(formatted("%zu unnamed parameters read back differently after a chunk: %s",
                                  unnamedDifferent.size(), ranges(unnamedDifferent).c_str()));
  if (bank.empty()) return;

  const MutationCounts counts = applyMutations(context, bank, takenAnswer);
  if (counts.nullTaken)
    context.report.warn(
        formatted("effSetChunk with a null pointer answers %lld, as it answers a chunk it takes",
                  static_cast<long long>(takenAnswer[0])));
  if (!context.report.failed())
    context.report.pass(formatted(
        "a copy through the bank and program chunks reads and sounds the same; %d mutated "
        "chunks: %d taken, %d refused, state unchanged by every refused one",
        counts.taken + counts.refused, counts.taken, counts.refused));
}
