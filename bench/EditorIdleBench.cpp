// What the editor window costs on the window thread at each scale factor (the argument is the
// factor times ten), drawn headless: the render into the back buffer, without the copy to the
// screen. An idle with nothing to do, an idle after host automation moved the output knob,
// and opening the window (decoding its pictures, the first full drawing).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "editor/ADEditor.h"
#include "plugin/Veltrane.h"

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

// The preferences the instances read and write stay out of the user's own.
const bool gPrivateSettings = [] {
  char folder[] = "/tmp/veltrane-bench-XXXXXX";
  if (mkdtemp(folder) != nullptr) setenv("XDG_CONFIG_HOME", folder, 1);
  unsetenv("GDK_SCALE");
  unsetenv("DISPLAY");
  return true;
}();

std::unique_ptr<Veltrane> effectAt(const benchmark::State& state) {
  const std::string factor = state.range(0) == 15 ? "1.5" : std::to_string(state.range(0) / 10);
  setenv("VELTRANE_UI_SCALE", factor.c_str(), 1);
  return std::make_unique<Veltrane>(quietHost);
}

void IdleNothingChanged(benchmark::State& state) {
  auto effect = effectAt(state);
  auto* editor = dynamic_cast<ADEditor*>(effect->getEditor());
  editor->open(nullptr);
  editor->idle();
  for (auto _ : state) editor->idle();
  editor->close();
}

void IdleAutomatedKnob(benchmark::State& state) {
  auto effect = effectAt(state);
  auto* editor = dynamic_cast<ADEditor*>(effect->getEditor());
  editor->open(nullptr);
  editor->idle();
  int step = 0;
  for (auto _ : state) {
    effect->setParameter(kOutput, static_cast<float>(step++ % 41) / 40.f);
    editor->idle();
  }
  editor->close();
}

void OpenAndDraw(benchmark::State& state) {
  auto effect = effectAt(state);
  auto* editor = dynamic_cast<ADEditor*>(effect->getEditor());
  for (auto _ : state) {
    editor->open(nullptr);
    editor->idle();
    editor->close();
  }
}

}  // namespace

BENCHMARK(IdleNothingChanged)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(IdleAutomatedKnob)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAndDraw)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);
