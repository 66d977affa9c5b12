// Host threads at once: one processing, two setting and reading parameters and their texts,
// one swapping chunks. Nothing crashes and the output stays finite. (Under a ThreadSanitizer
// build of plug-in and host this is where races show.)
#include <atomic>
#include <barrier>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 64;
constexpr double kInputLevel = 0.1;
constexpr double kBound = 1e6;
constexpr int kParameterThreads = 2;
constexpr auto kReportEvery = std::chrono::milliseconds(100);

}  // namespace

void checkThreads(CheckContext& context) {
  auto host = context.load();
  if (!host) return;
  AEffect* e = host->effect();
  std::vector<unsigned char> chunks[2];
  if (e->flags & effFlagsProgramChunks) {
    chunks[0] = CheckContext::chunkOf(*host);
    context.randomise(*host);
    chunks[1] = CheckContext::chunkOf(*host);
    CheckContext::setChunk(*host, chunks[0]);
  }
  const bool swapChunks = !chunks[0].empty() && !chunks[1].empty();
  CheckContext::start(*host, kRate, kBlock);

  std::atomic<bool> running{true};
  std::atomic<long long> blocks{0}, parameterCalls{0}, chunkSwaps{0};
  std::atomic<double> badPeak{0.0};
  const int threadCount = 1 + kParameterThreads + (swapChunks ? 1 : 0);
  std::barrier startTogether(threadCount + 1);
  std::vector<std::thread> threads;
  threads.emplace_back([&] {
    AudioBuffers<float> buffers(*e, kBlock);
    Noise noise(context.options.seed);
    startTogether.arrive_and_wait();
    while (running.load(std::memory_order_relaxed)) {
      buffers.fill(kBlock, [&](int, int) { return kInputLevel * noise.next(); });
      buffers.process(e, kBlock);
      const double peak = buffers.peak(kBlock);
      if (!(peak <= kBound)) badPeak.store(peak);
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
  });
  for (int t = 0; t < kParameterThreads; ++t) {
    threads.emplace_back([&, t] {
      std::mt19937 random(context.options.seed + 17u * static_cast<unsigned>(t));
      std::uniform_int_distribution<int> index(0, std::max(e->numParams - 1, 0));
      std::uniform_real_distribution<float> value(0.0f, 1.0f);
      char text[256];
      startTogether.arrive_and_wait();
      while (running.load(std::memory_order_relaxed) && e->numParams > 0) {
        const int i = index(random);
        e->setParameter(e, i, value(random));
        e->getParameter(e, i);
        host->dispatch(effGetParamDisplay, i, 0, text);
        host->dispatch(effGetParamName, i, 0, text);
        parameterCalls.fetch_add(1, std::memory_order_relaxed);
      }
    });
  }
  if (swapChunks) {
    threads.emplace_back([&] {
      startTogether.arrive_and_wait();
      for (std::size_t n = 0; running.load(std::memory_order_relaxed); ++n) {
        CheckContext::setChunk(*host, chunks[n % 2]);
        void* data = nullptr;
        host->dispatch(effGetChunk, 0, 0, &data);
        chunkSwaps.fetch_add(1, std::memory_order_relaxed);
      }
    });
  }

  startTogether.arrive_and_wait();
  const auto started = std::chrono::steady_clock::now();
  const auto until = started + std::chrono::duration<double>(context.options.seconds);
  while (std::chrono::steady_clock::now() < until) {
    context.report.step(
        "threads running for %.1f s",
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    std::this_thread::sleep_for(kReportEvery);
  }
  context.report.step("stopping the threads");
  running.store(false);
  for (auto& thread : threads) thread.join();
  host->stop();

  if (badPeak.load() != 0.0)
    context.report.fail(formatted("the output reached %g while the threads ran", badPeak.load()));
  else
    context.report.pass(
        formatted("%.1f s of 1 processing, %d parameter%s threads: %lld blocks, %lld parameter "
                  "calls, %lld chunk swaps; output finite",
                  context.options.seconds, kParameterThreads, swapChunks ? " and 1 chunk" : "",
                  blocks.load(), parameterCalls.load(), chunkSwaps.load()));
}
