// The open window against automation from two threads (one of them the audio thread, which
// also processes) and a host thread that switches presets, restores chunks and resumes the
// editor. Built with ThreadSanitizer by scripts/test.sh, which then fails on any data race; in
// the plain build it still checks that the window ends up showing the effect's values. No
// thread ends before the others have made progress, so they overlap whatever the scheduler does.
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "EditorTestSupport.h"
#include "editor/CAnimCoaxKnob.h"
#include "gui/CParamDisplay.h"

using namespace editortest;

namespace {

// Until every other thread has had some turns, the window thread keeps going.
constexpr int kMinWindowRounds = 100;
constexpr long kMinBlocks = 40;
constexpr int kMinHostRounds = 10;

class ADEditorThreads : public EditorTest {};

TEST_F(ADEditorThreads, AutomationAndPresetsWhileTheWindowIsOpen) {
  effect->setSampleRate(48000.f);
  effect->resume();
  void* data = nullptr;
  const VstInt32 size = effect->getChunk(&data, false);
  ASSERT_GT(size, 0);
  const auto* bytes = static_cast<const unsigned char*>(data);
  const std::vector<unsigned char> chunk(bytes, bytes + size);
  open();

  std::atomic<bool> done{false};
  std::atomic<long> blocks{0};
  std::atomic<int> hostRounds{0};
  std::thread audio([&] {
    const int n = 128;
    std::vector<float> l(n), r(n);
    float* io[2] = {l.data(), r.data()};
    for (long b = 0; !done.load() || b < kMinBlocks; ++b) {
      for (int i = 0; i < n; ++i) l[i] = r[i] = static_cast<float>(1.2 * std::sin(0.05 * i));
      effect->processReplacing(io, io, n);
      // Automation played back by the host on its audio thread.
      effect->setParameter(kLfGain, static_cast<float>(b % 17) / 16.f);
      effect->setParameter(kHfFreq, static_cast<float>(b % 13) / 12.f);
      blocks.fetch_add(1);
    }
  });
  std::thread host([&] {
    std::vector<unsigned char> copy;
    for (int round = 0; !done.load() || round < kMinHostRounds; ++round) {
      for (int index = 0; index < kNumParameters; ++index)
        effect->setParameter(index, static_cast<float>((round * 5 + index) % 9) / 8.f);
      effect->setPresetNo(round % 5);
      copy = chunk;
      effect->setChunk(copy.data(), static_cast<VstInt32>(copy.size()), false);
      editor->resume();
      editor->internalSampleRateChanged();
      hostRounds.fetch_add(1);
      std::this_thread::yield();
    }
  });

  for (int round = 0;
       round < kMinWindowRounds || blocks.load() < kMinBlocks || hostRounds.load() < kMinHostRounds;
       ++round) {
    editor->idle();
    // EQ, the LF ring, the HF centre, the clip LED and HM Q in turn (a click drags nowhere).
    const CPoint gestures[][2] = {{{678, 30}, {678, 30}},
                                  {{209, 81}, {209, 71}},
                                  {{568, 111}, {568, 121}},
                                  {{720, 65}, {720, 65}},
                                  {{447, 176}, {447, 176}}};
    const CPoint* g = gestures[round % 5];
    drag(g[0], g[1], g[0] == g[1] ? 0 : 2);
    if (round == kMinWindowRounds / 2) {
      editor->close();
      editor->idle();
      open();
    }
  }
  done.store(true);
  audio.join();
  host.join();

  // Quiet again: the window agrees with the effect after one idle.
  editor->idle();
  effect->setParameter(kLfGain, 0.375f);
  effect->setParameter(kHfFreq, 0.5f);
  editor->idle();
  EXPECT_EQ(control(41)->getValue(), effect->getParameter(kLfGain));
  EXPECT_EQ(control<CAnimCoaxKnob>(44)->getExtValue(), 0.5f);
  EXPECT_EQ(control(kEqAll)->getValue(), effect->getParameter(kEqAll));
}

// A host that changes the rate and resumes on a thread of its own while the user toggles EQ:
// the window thread shows the latency the resuming thread read, never the effect's fields
// that thread is writing.
TEST_F(ADEditorThreads, ResumingOnAHostThreadWhileTheWindowShowsTheLatency) {
  open();
  // Each side keeps going until the other has had its turns: they overlap, whoever starts first.
  std::atomic<bool> done{false};
  std::atomic<int> windowRounds{0};
  std::thread host([&] {
    for (int round = 0; round < 40 || windowRounds.load() < 20; ++round) {
      effect->setSampleRate(round % 2 ? 96000.f : 44100.f);
      effect->suspend();
      effect->resume();
    }
    done.store(true);
  });
  while (!done.load()) {
    click(678, 30);  // EQ
    editor->idle();
    windowRounds.fetch_add(1);
  }
  host.join();
  editor->idle();
  EXPECT_EQ(dynamic_cast<CParamDisplay*>(frame()->getView(2))->getValue(), effect->getLatency2());
}

}  // namespace
