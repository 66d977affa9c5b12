// The clip indicator across idle periods: bright for one period, then held until the user
// clears it with a left click; untouched while the about picture shows.
#include "EditorTestSupport.h"
#include "editor/CLED.h"

using namespace editortest;

namespace {

enum class Step { Idle, LeftClick, RightClick, OpenAbout, CloseAbout, CloseWindow, OpenWindow };

struct ClipRow {
  const char* what;
  double peak;  // the engine's last block peak before the step (-1: leave as it is)
  Step step;
  double hold;  // meterHold after the step
  float led;    // the LED's value after the step (-1: no window)
};

const ClipRow kSequence[] = {
    {"quiet", 0.5, Step::Idle, 0.0, 0.f},
    {"a clip lights bright", 1.0, Step::Idle, 1.0, 1.f},
    {"then held", -1, Step::Idle, 0.5, 0.5f},
    {"still held", 0.2, Step::Idle, 0.5, 0.5f},
    {"a right click changes nothing", -1, Step::RightClick, 0.5, 0.5f},
    {"a left click clears it", -1, Step::LeftClick, 0.0, 0.f},
    {"stays clear", 0.99, Step::Idle, 0.0, 0.f},
    {"the about picture opens", -1, Step::OpenAbout, 0.0, 0.f},
    {"a clip under the picture", 2.0, Step::Idle, 1.0, 0.f},
    {"held under the picture", -1, Step::Idle, 0.5, 0.f},
    {"the picture closes", -1, Step::CloseAbout, 0.5, 0.f},
    {"the held image shows", -1, Step::Idle, 0.5, 0.5f},
    {"a click clears", -1, Step::LeftClick, 0.0, 0.f},
    {"the window closes", -1, Step::CloseWindow, 0.0, -1.f},
    {"a clip while closed still counts", 1.5, Step::Idle, 1.0, -1.f},
    {"the window opens again", -1, Step::OpenWindow, 1.0, 1e-9f},
    {"and shows it held", -1, Step::Idle, 0.5, 0.5f},
};

TEST_F(EditorTest, TheClipIndicatorHoldsUntilClickedAndWaitsForTheAboutPicture) {
  open();
  editor->idle();
  for (const ClipRow& row : kSequence) {
    SCOPED_TRACE(row.what);
    if (row.peak >= 0) effect->meterPeak = row.peak;
    switch (row.step) {
      case Step::Idle:
        editor->idle();
        break;
      case Step::LeftClick:
        click(720, 65);
        break;
      case Step::RightClick:
        click(720, 65, kRButton);
        break;
      case Step::OpenAbout:
        click(330, 215);
        break;
      case Step::CloseAbout:
        click(20, 15);
        break;
      case Step::CloseWindow:
        editor->close();
        break;
      case Step::OpenWindow:
        open();
        break;
    }
    EXPECT_EQ(effect->meterHold.load(), row.hold);
    if (row.led < 0) {
      EXPECT_EQ(frame(), nullptr);
      continue;
    }
    ASSERT_NE(control(ADEditor::kTagClipLed), nullptr);
    EXPECT_EQ(control(ADEditor::kTagClipLed)->getValue(), row.led);
  }
}

TEST_F(EditorTest, AClearingClickRedrawsTheLedAndForgetsThePeak) {
  open();
  effect->meterPeak = 3.0;
  editor->idle();
  effect->meterPeak = 3.0;  // a new block clipped meanwhile: the click clears that too
  click(720, 65);
  EXPECT_EQ(effect->meterPeak.load(), 0.0);
  editor->idle();
  EXPECT_EQ(control(ADEditor::kTagClipLed)->getValue(), 0.f);
  EXPECT_TRUE(wasRedrawn(control(ADEditor::kTagClipLed)->getViewSize()));
}

}  // namespace
