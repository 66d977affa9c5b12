// Changes the effect reports reach the controls at the next idle (the threads are
// ADEditorThreadTest's); the clip indicator; opening, closing, resuming and destroying the
// editor in the orders hosts use.
#include <cmath>
#include <functional>

#include "tests/support/HeapCount.h"

#include "EditorTestSupport.h"
#include "editor/CAnimCoaxKnob.h"
#include "gui/CParamDisplay.h"

using namespace editortest;

namespace {

struct MirrorRow {
  const char* what;
  int index;
  float value;
  int32_t tag;  // the control showing it
  bool ring;
  float shown;
  int bitmap;  // its picture, of `images`
  int images;
};

const MirrorRow kMirror[] = {
    {"LF ring", kLfFreq, 0.567f, 41, true, 0.567f, 0, 0},
    {"HF ring in hundredths", kHfFreq, 0.567f, 44, true, 0.56f, 0, 0},
    {"LF centre", kLfGain, 0.3f, 41, false, 0.3f, 0, 0},
    {"LM Q untruncated", kLmQ, 0.7f, kLmQ, false, 0.7f, 11547, 3},
    {"EQ button at one half: on", kEqAll, 0.5f, kEqAll, false, 0.5f, 11510, 2},
    {"HPF button", kHpf, 1.f, kHpf, false, 1.f, 11540, 2},
    {"HF dip button", kHfDip, 0.f, kHfDip, false, 0.f, 11517, 2},
    {"output knob", kOutput, 0.9f, kOutput, false, 0.9f, 11562, 41},
};

float shownValue(CControl* c, bool ring) {
  return ring ? static_cast<CAnimCoaxKnob*>(c)->getExtValue() : c->getValue();
}

TEST_F(EditorTest, AHostChangeReachesItsControlAtTheNextIdleAndRedrawsOnlyIt) {
  setAllDistinct();
  open();
  editor->idle();  // the first full drawing
  for (const MirrorRow& row : kMirror) {
    SCOPED_TRACE(row.what);
    CControl* c = control(row.tag);
    ASSERT_NE(c, nullptr);
    const float before = shownValue(c, row.ring);
    effect->setParameter(row.index, 0.01f);  // only the last change before an idle shows
    effect->setParameter(row.index, row.value);
    EXPECT_EQ(shownValue(c, row.ring), before) << "nothing moves outside idle";
    editor->idle();
    EXPECT_EQ(shownValue(c, row.ring), row.shown);
    EXPECT_EQ(frame()->getLastRenderedRects(), std::vector<CRect>{c->getViewSize()});
    if (row.bitmap != 0) {
      const int image = stripIndexRound(row.value, row.images);
      EXPECT_EQ(differences(c->getViewSize(), {{row.bitmap, row.images, image}}), 0);
    }
  }
  // Parameters without a control change nothing and redraw nothing.
  for (int index : {2, 3, 4, 5, 10, 11, 28, 39}) {
    effect->setParameter(index, 0.123f);
    editor->idle();
    EXPECT_TRUE(frame()->getLastRenderedRects().empty()) << index;
  }
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
  for (float v : {0.25f, 0.5f}) {
    effect->setParameter(kLfGain, v);  // reported while closed
    effect->setParameter(kHmQ, v + 0.01f);
    open();
    EXPECT_EQ(control(41)->getValue(), v);
    editor->idle();
    EXPECT_EQ(control(kHmQ)->getValue(), std::trunc((v + 0.01f) * 12.f) / 12.f)
        << "what was reported before the opening is not replayed over it";
    editor->close();
    editor->idle();  // hosts keep calling idle after closing
  }
}

TEST_F(EditorTest, ResumeShowsAtTheNextIdleOrOpening) {
  auto shown = [this](int view) {
    return dynamic_cast<CParamDisplay*>(frame()->getView(view))->getValue();
  };
  effect->setSampleRate(96000.f);
  effect->suspend();
  effect->resume();  // while closed
  editor->idle();
  open();
  EXPECT_FLOAT_EQ(shown(1), 64.f * 1000.f / 96000.f);
  EXPECT_EQ(shown(2), 64.f);
  editor->idle();
  effect->setSampleRate(192000.f);
  effect->suspend();
  effect->resume();
  EXPECT_EQ(shown(2), 64.f) << "not before the window thread's turn";
  editor->idle();
  EXPECT_EQ(shown(2), 96.f);
  EXPECT_FLOAT_EQ(shown(1), 0.5f);
  // The suspend also redraws the clip LED.
  EXPECT_EQ(frame()->getLastRenderedRects(),
            (std::vector{CRect(712, 57, 728, 73), CRect(58, 214, 152, 226)}));
  // EQ in/out refreshes them with the latency the engine runs with: a rate set but not yet
  // resumed with would pair 96 samples at 192 kHz with milliseconds at 44.1.
  effect->setSampleRate(44100.f);
  effect->setParameter(kEqAll, 0.f);
  editor->idle();
  EXPECT_FLOAT_EQ(shown(1), 0.5f);
}

TEST_F(EditorTest, DestructionDetachesFromTheEffectThatHoldsIt) {
  { ADEditor stray(effect.get()); }
  EXPECT_EQ(effect->getEditor(), editor) << "an editor the effect does not hold leaves it alone";
  open();
  delete editor;
  EXPECT_EQ(effect->getEditor(), nullptr);
  EXPECT_FALSE(effect->getAeffect()->flags & effFlagsHasEditor);
  // A host that carries on talking to the window finds none.
  ERect* rect = nullptr;
  EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.f), 0);
  for (VstInt32 opcode : {effEditIdle, effEditClose}) effect->dispatcher(opcode, 0, 0, nullptr, 0);
  effect->setParameter(kLfGain, 0.3f);  // no editor left to tell
  effect.reset();                       // and none deleted twice
}

TEST_F(EditorTest, TheEffectMayGoWithItsWindowOpen) {
  setAllDistinct();
  open();
  click(200, 239);  // a name being typed, which closing must not commit through the editor
  effect->dispatcher(effEditKeyDown, 'x', 0, nullptr, 0);
  control(41)->beginEdit();  // a gesture cut short by the host closing everything
  effect.reset();
  const auto calls = hostRecord().take();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), endEdit(kLfGain));
}

// The clip indicator across idle periods: bright for one period, then held until the user
// clears it with a left click; untouched while the about picture shows, which takes every
// click until a left one closes it. The effect's suspend forces the LED's off image, even
// under the picture, each time with a value unlike the last so that it is redrawn.
enum class Step { Idle, LeftClick, RightClick, OpenAbout, Suspend, CloseWindow, OpenWindow };
constexpr float kNudged = -2.f;  // a value just above 0, unlike the one before

struct ClipRow {
  const char* what;
  double peak;  // the engine's last block peak before the step (-1: leave as it is)
  Step step;
  double hold;  // meterHold after the step
  float led;    // the LED's value after the step (-1: no window)
};

// The clicks land on the LED.
const ClipRow kSequence[] = {
    {"quiet", 0.5, Step::Idle, 0.0, 0.f},
    {"a clip lights bright", 1.0, Step::Idle, 1.0, 1.f},
    {"then held", -1, Step::Idle, 0.5, 0.5f},
    {"still held", 0.2, Step::Idle, 0.5, 0.5f},
    {"a right click changes nothing", -1, Step::RightClick, 0.5, 0.5f},
    // A block clipped since the last idle: the click clears its peak too.
    {"a left click clears it", 3.0, Step::LeftClick, 0.0, 0.f},
    {"stays clear", 0.99, Step::Idle, 0.0, 0.f},
    {"the about picture opens", -1, Step::OpenAbout, 0.0, 0.f},
    {"a suspend", -1, Step::Suspend, 0.0, kNudged},
    {"another", -1, Step::Suspend, 0.0, kNudged},
    {"a clip under the picture", 2.0, Step::Idle, 1.0, kNudged},
    {"held under the picture", -1, Step::Idle, 0.5, kNudged},
    {"a right click leaves the picture", -1, Step::RightClick, 0.5, kNudged},
    {"a left click closes the picture only", -1, Step::LeftClick, 0.5, kNudged},
    {"the held image shows", -1, Step::Idle, 0.5, 0.5f},
    {"a click clears", -1, Step::LeftClick, 0.0, 0.f},
    {"the window closes", -1, Step::CloseWindow, 0.0, -1.f},
    {"a clip while closed still counts", 1.5, Step::Idle, 1.0, -1.f},
    {"the window opens again", -1, Step::OpenWindow, 1.0, 1e-9f},
    {"and shows it held", -1, Step::Idle, 0.5, 0.5f},
};

TEST_F(EditorTest, TheClipIndicatorHoldsUntilClickedAndWaitsForTheAboutPicture) {
  // In the order of Step.
  const std::function<void()> act[] = {[&] { editor->idle(); },
                                       [&] { click(720, 65); },
                                       [&] { click(720, 65, kRButton); },
                                       [&] { click(330, 215); },
                                       [&] { effect->suspend(), editor->idle(); },
                                       [&] { editor->close(); },
                                       [&] { open(); }};
  float previous = 0.f;
  open();
  editor->idle();
  for (const ClipRow& row : kSequence) {
    SCOPED_TRACE(row.what);
    if (row.peak >= 0) effect->meterPeak = row.peak;
    act[static_cast<int>(row.step)]();
    EXPECT_EQ(effect->meterHold.load(), row.hold);
    EXPECT_TRUE(row.step != Step::LeftClick || effect->meterPeak.load() == 0.0);
    if (row.led == -1.f) {
      EXPECT_EQ(frame(), nullptr);
      continue;
    }
    ASSERT_NE(control(ADEditor::kTagClipLed), nullptr);
    const float led = control(ADEditor::kTagClipLed)->getValue();
    EXPECT_TRUE(row.led == kNudged ? led > 0.f && led < 1e-9f : led == row.led) << led;
    EXPECT_TRUE(row.step != Step::Suspend || led != previous);
    previous = led;
    // Drawn off below one half, held at exactly one half, bright above.
    const int image = led > 0.5f ? 2 : led == 0.5f ? 1 : 0;
    if (row.step == Step::Idle && frame()->getModalView() == nullptr) {
      EXPECT_EQ(differences(CRect(712, 57, 728, 73), {{11520, 3, image}}), 0);
    }
  }
  EXPECT_TRUE(hostRecord().take().empty()) << "the LED and the about hot-spot automate nothing";
}

}  // namespace
