#include "presets/CPSKickButton.h"
#include "tests/presets/PanelTestSupport.h"

using namespace presettest;
using Editor = CPresetSystemEditor;

namespace {

const char* kAlert =
    "Could not open manual file:\n"
    "~/\"Documents/www.zal-audio.example/ZAL Veltrane/ZAL Veltrane Manual.pdf\"\n";

}  // namespace

// The manual lives under a home folder made for the test; the opener is a stand-in script.
class ManualButtonTest : public PanelTest {
 protected:
  TempDir home;
  ScopedEnv homeVariable{"HOME", home.path().c_str()};
  std::filesystem::path manual =
      home.path() / "Documents/www.zal-audio.example/ZAL Veltrane/ZAL Veltrane Manual.pdf";
  std::string opener = home.dir() + "opener";

  void placeManual() {
    std::filesystem::create_directories(manual.parent_path());
    std::ofstream(manual) << "%PDF-1.4\n";
  }
  // Records its arguments and exits with the given status.
  void writeOpener(int status) {
    writeScript(opener, "printf '%s\\n' \"$@\" > '" + home.dir() + "args'\nexit " +
                            std::to_string(status) + "\n");
  }
  // Presses the manual button (the release is left out: the viewer may take it), lets the
  // opener finish, and returns what the user was told.
  std::string pressManual() {
    testing::internal::CaptureStderr();
    CPoint at = control(Editor::kTagManual)->getViewSize().getCenter();
    frame()->onMouseDown(at, CButtonState(kLButton));
    EXPECT_TRUE(idleUntil(*editor, [this] { return !editor->isOpeningManual(); }));
    return testing::internal::GetCapturedStderr();
  }
};

TEST_F(ManualButtonTest, OpenerGetsThePathAndItsVerdictOrAMissingManualDecidesTheAlert) {
  ScopedEnv program(XPlatDocumentOpener::kProgramVariable, opener.c_str());
  ASSERT_TRUE(editor->open(nullptr));
  const struct {
    bool manual;
    int status;
    bool alert;
  } table[] = {{false, 0, true}, {true, 0, false}, {true, 1, true}, {true, 0, false}};
  for (const auto& row : table) {
    SCOPED_TRACE(::testing::Message() << row.manual << " " << row.status);
    if (row.manual) placeManual();
    writeOpener(row.status);
    std::filesystem::remove(home.path() / "args");
    const std::string told = pressManual();
    // Without a manual the opener is not even started.
    EXPECT_EQ(slurp(home.path() / "args"), row.manual ? manual.string() + "\n" : "")
        << "one argument, verbatim";
    EXPECT_EQ(told.find(kAlert) != std::string::npos, row.alert) << told;
    auto* button = control<CPSKickButton>(Editor::kTagManual);
    EXPECT_FALSE(button->isPressed()) << "the button does not stay down";
    EXPECT_EQ(button->getValue(), 0.f);
  }
}

TEST_F(ManualButtonTest, TheWindowKeepsRunningWhileTheViewerIsOpen) {
  // Some desktops' openers run until the viewer closes.
  placeManual();
  writeScript(opener, shellWaitForFile(home.dir() + "closed") + "exit 1\n");
  ScopedEnv program(XPlatDocumentOpener::kProgramVariable, opener.c_str());
  ASSERT_TRUE(editor->open(nullptr));
  testing::internal::CaptureStderr();
  click(Editor::kTagManual);
  for (int i = 0; i < 5; ++i) editor->idle();
  EXPECT_TRUE(editor->isOpeningManual());
  std::ofstream(home.path() / "closed") << "";
  EXPECT_TRUE(idleUntil(*editor, [this] { return !editor->isOpeningManual(); }));
  EXPECT_NE(testing::internal::GetCapturedStderr().find(kAlert), std::string::npos)
      << "a late failure is still told";
}
