// Opening, closing, resuming and destroying the editor, in the orders hosts use.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "tests/support/HeapCount.h"

#include "EditorTestSupport.h"
#include "editor/CLED.h"
#include "gui/CParamDisplay.h"

using namespace editortest;

namespace {

CParamDisplay* readout(CFrame* frame, int view) {
  return dynamic_cast<CParamDisplay*>(frame->getView(view));
}

TEST_F(EditorTest, AParameterChangeAndItsReportAllocateNothing) {
  for (bool windowOpen : {false, true}) {
    if (windowOpen) open();
    const long before = heapAllocations();
    for (int round = 0; round < 100; ++round)
      for (int index = -1; index <= kNumParameters; ++index)
        effect->setParameter(index, static_cast<float>(round) / 100.f);
    EXPECT_EQ(heapAllocations() - before, 0) << (windowOpen ? "open" : "closed");
  }
}

TEST_F(EditorTest, AReopenedWindowShowsTheValuesOfTheMoment) {
  for (int cycle = 0; cycle < 3; ++cycle) {
    const float v = static_cast<float>(cycle + 1) / 32.f;
    effect->setParameter(kLfGain, v);  // reported while closed
    effect->setParameter(kHmQ, v);
    open();
    EXPECT_EQ(control(41)->getValue(), v);
    editor->idle();
    EXPECT_EQ(control(kHmQ)->getValue(), std::trunc(v * 12.f) / 12.f)
        << "what was reported before the opening is not replayed over it";
    editor->close();
    EXPECT_EQ(frame(), nullptr);
    editor->idle();  // hosts keep calling idle after closing
  }
}

TEST_F(EditorTest, ResumeShowsAtTheNextIdleOrOpening) {
  effect->setSampleRate(96000.f);
  effect->suspend();
  effect->resume();  // while closed
  editor->idle();
  open();
  EXPECT_FLOAT_EQ(readout(frame(), 1)->getValue(), 64.f * 1000.f / 96000.f);
  EXPECT_EQ(readout(frame(), 2)->getValue(), 64.f);
  editor->idle();
  effect->setSampleRate(192000.f);
  effect->suspend();
  effect->resume();
  EXPECT_EQ(readout(frame(), 2)->getValue(), 64.f) << "not before the window thread's turn";
  editor->idle();
  EXPECT_EQ(readout(frame(), 2)->getValue(), 96.f);
  EXPECT_FLOAT_EQ(readout(frame(), 1)->getValue(), 0.5f);
  EXPECT_TRUE(wasRedrawn(CRect(58, 214, 152, 226)));
  // EQ in/out refreshes them with the latency the engine runs with: a rate set but not yet
  // resumed with would pair 96 samples at 192 kHz with milliseconds at 44.1.
  effect->setSampleRate(44100.f);
  effect->setParameter(kEqAll, 0.f);
  editor->idle();
  EXPECT_FLOAT_EQ(readout(frame(), 1)->getValue(), 0.5f);
}

// The effect's suspend tells the editor; the LED is forced to its off image, each time with a
// value unlike the last so that it is redrawn, even under the about picture.
TEST_F(EditorTest, SuspendForcesTheLedOffImageEvenUnderTheAboutPicture) {
  open();
  editor->idle();
  click(330, 215);  // with the about picture showing the idle leaves the LED alone
  float previous = 0.f;
  for (int round = 0; round < 3; ++round) {
    effect->suspend();
    editor->idle();
    const float led = control(ADEditor::kTagClipLed)->getValue();
    EXPECT_GT(led, 0.f);
    EXPECT_LT(led, 1e-9f);
    EXPECT_NE(led, previous);
    previous = led;
  }
}

TEST_F(EditorTest, DestructionDetachesFromTheEffect) {
  open();
  delete editor;
  EXPECT_EQ(effect->getEditor(), nullptr);
  EXPECT_FALSE(effect->getAeffect()->flags & effFlagsHasEditor);
  // A host that carries on talking to the window finds none.
  ERect* rect = nullptr;
  EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.f), 0);
  EXPECT_EQ(effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.f), 0);
  EXPECT_EQ(effect->dispatcher(effEditClose, 0, 0, nullptr, 0.f), 0);
  effect->setParameter(kLfGain, 0.3f);  // no editor left to tell
  effect.reset();                       // and none deleted twice
}

TEST_F(EditorTest, AnEditorTheEffectDoesNotHoldLeavesTheEffectsOwnInPlace) {
  { ADEditor stray(effect.get()); }
  EXPECT_EQ(effect->getEditor(), editor);
  EXPECT_TRUE(effect->getAeffect()->flags & effFlagsHasEditor);
}

TEST_F(EditorTest, TheEffectMayGoWithItsWindowOpen) {
  setAllDistinct();
  open();
  control(41)->beginEdit();  // a gesture cut short by the host closing everything
  effect.reset();
  const auto calls = hostRecord().take();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), endEdit(kLfGain));
}

}  // namespace
