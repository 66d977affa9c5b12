// The clip indicator across idle periods: bright for one period, then held until the user
// clears it with a left click; untouched while the about picture shows.
#include <functional>

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
    // A block clipped since the last idle: the click clears its peak too.
    {"a left click clears it", 3.0, Step::LeftClick, 0.0, 0.f},
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
  // In the order of Step.
  const std::function<void()> act[] = {
      [&] { editor->idle(); },  [&] { click(720, 65); }, [&] { click(720, 65, kRButton); },
      [&] { click(330, 215); }, [&] { click(20, 15); },  [&] { editor->close(); },
      [&] { open(); }};
  open();
  editor->idle();
  for (const ClipRow& row : kSequence) {
    SCOPED_TRACE(row.what);
    if (row.peak >= 0) effect->meterPeak = row.peak;
    act[static_cast<int>(row.step)]();
    EXPECT_EQ(effect->meterHold.load(), row.hold);
    if (row.step == Step::LeftClick) {
      EXPECT_EQ(effect->meterPeak.load(), 0.0);
    }
    if (row.led < 0) {
      EXPECT_EQ(frame(), nullptr);
      continue;
    }
    ASSERT_NE(control(ADEditor::kTagClipLed), nullptr);
    EXPECT_EQ(control(ADEditor::kTagClipLed)->getValue(), row.led);
  }
  EXPECT_TRUE(hostRecord().take().empty()) << "the LED and the about hot-spot automate nothing";
}

}  // namespace
