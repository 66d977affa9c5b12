#include <algorithm>
#include <chrono>
#include <thread>

#include "gui/CBitmap.h"
#include "gui/CFontDesc.h"
#include "gui/COptionMenuPopup.h"
#include "platform/PreferenceStore.h"
#include "presets/CPSKickButton.h"
#include "presets/CPSRockerSwitch.h"
#include "tests/presets/PanelTestSupport.h"

using namespace presettest;
using Editor = CPresetSystemEditor;

TEST_F(PanelTest, OpenBuildsTheRowAsTheStoreSays) {
  effect->setPresetNameOf(3, "Bright Vocal");
  effect->setPresetNo(3);
  ASSERT_TRUE(editor->open(nullptr));
  // The row comes after the window's own controls, in this order, all reporting to the editor.
  const int32_t order[] = {96, 108, 97, 98, 99, 109, 100, 101, 110, 113, 111, 114, 112, 115};
  for (int32_t i = 0; i < 14; ++i) {
    auto* c = static_cast<CControl*>(frame()->getView(frame()->getNbViews() - 14 + i));
    EXPECT_EQ(std::make_tuple(c->getTag(), c->getListener()), std::make_tuple(order[i], editor));
    // The row gave its own references back: only the controls showing a picture hold it
    // (the name field and the menu share theirs). Strips hold 3 images, the rocker's 5.
    EXPECT_EQ(c->getBackground()->getNbReference(), i < 2 ? 2 : 1) << order[i];
    auto* kick = dynamic_cast<CKickButton*>(c);
    EXPECT_EQ(kick ? kick->getHeightOfOneImage() * (i == 2 ? 5 : 3) : 0,
              kick ? c->getBackground()->getHeight() : 0);
  }
  const CCoord fontSize = kNormalFontSmall->getSize();
  EXPECT_EQ(control(Editor::kTagName)->getViewSize(),
            CRect(175, 239 - fontSize / 2 - 2, 292, 239 + fontSize / 2 + 2));
  auto* field = control<CTextEdit>(Editor::kTagName);
  EXPECT_EQ(std::make_tuple(field->getFont(), field->getFontColor(), field->getFrameColor(),
                            field->getBackColor()),
            std::make_tuple(kNormalFontSmall, MakeCColor(36, 36, 32), MakeCColor(36, 36, 32),
                            MakeCColor(209, 227, 238)));
  EXPECT_EQ(std::make_tuple(field->getHoriAlign(), field->getBackOffset()),
            std::make_tuple(kCenterText, CPoint(175, field->getViewSize().top)));
  EXPECT_EQ(
      std::make_tuple(menu()->getNbItemsPerColumn(), menu()->getStyle(), menu()->getBackOffset()),
      std::make_tuple(12, 0x1E00, CPoint(293, 232)));
  expectPanelShowsStore();
}

TEST_F(PanelTest, RockerStepsAndStopsAtBothEndsAndTheMenuChoosesAnyPreset) {
  effect->setPresetNameOf(3, "-");  // the menu reads "-" as a separator; a preset may be named so
  ASSERT_TRUE(editor->open(nullptr));
  const CRect r = control(Editor::kTagPresetRocker)->getViewSize();
  const CPoint left(r.left + 2, r.top + 5), right(r.right - 2, r.top + 5);
  const std::tuple<int, CPoint, int> table[] = {
      {0, left, 0}, {0, right, 1}, {4, right, 4}, {4, left, 3}};
  for (const auto& [start, at, expected] : table) {
    effect->setPresetNo(start);
    hostCalls.clear();
    clickAt(at);
    EXPECT_EQ(effect->getPresetNo(), expected) << start << " " << at.x;
    expectPanelShowsStore();
    // Selected as a change of state, then the name announced.
    EXPECT_EQ(hostCalls, (std::vector<VstInt32>{audioMasterUpdateDisplay, audioMasterBeginEdit,
                                                audioMasterEndEdit, audioMasterUpdateDisplay}));
  }
  click(Editor::kTagPresetMenu);
  auto* popup = dynamic_cast<COptionMenuPopup*>(frame()->getModalView());
  ASSERT_NE(popup, nullptr) << "the click opens the list";
  clickAt(popup->entryRect(3).getTopLeft().offset(5, 3));
  EXPECT_EQ(effect->getPresetNo(), 3);
  expectPanelShowsStore();
}

TEST_F(PanelTest, ATypedNameIsCutTo24InTheFieldAnd23InThePresetAndKeptWhenTheWindowCloses) {
  effect->setPresetNo(1);
  ASSERT_TRUE(editor->open(nullptr));
  click(Editor::kTagName);
  for (char c : std::string(" and a name too long to keep")) key(kVKeyNone, c);
  frame()->idle();
  key(kVKeyReturn);
  EXPECT_EQ(fieldText(), "Drum Group and a name to");
  EXPECT_EQ(storedName(*effect, 1), "Drum Group and a name t");
  frame()->idle();  // the menu shows the new name at once
  const CRect menu = control(Editor::kTagPresetMenu)->getViewSize();
  const std::vector<CRect>& drawn = frame()->getLastRenderedRects();
  EXPECT_TRUE(
      std::any_of(drawn.begin(), drawn.end(), [&](const CRect& r) { return r.rectOverlap(menu); }));
  click(Editor::kTagPresetRocker);  // on to preset 2, the centre column is the right half
  click(Editor::kTagName);
  for (char c : std::string(" two")) key(kVKeyNone, c);
  // The editor forgets the row first, then closes the frame, which commits the edit.
  editor->close();
  EXPECT_EQ(storedName(*effect, 2), "Snare two");
}

TEST_F(PanelTest, DefaultButtonsStoreTheBankAndPresetANewInstanceStartsFrom) {
  ASSERT_TRUE(editor->open(nullptr));
  const StoreSnapshot factory = snapshot(*makeEffect());
  fillDistinct(*effect, 0.3);
  effect->setPresetNo(3);  // saved while another preset is current
  StoreSnapshot bank = snapshot(*effect);
  click(Editor::kTagDefaultBank);
  EXPECT_EQ(snapshot(*makeEffect()), factory) << "a single click stores nothing";
  click(Editor::kTagDefaultBank, kLButton | kDoubleClick);
  bank.presetNo = 0;  // a new instance still starts at preset 0
  EXPECT_EQ(snapshot(*makeEffect()), bank);
  // The default preset lands on top of the default bank, in preset 0.
  effect->setPresetNo(2);
  effect->setPresetName("Default preset");
  click(Editor::kTagDefaultPreset, kLButton | kDoubleClick);
  auto fresh = makeEffect();
  EXPECT_EQ(
      std::make_tuple(storedName(*fresh, 0), fresh->getParameter(kHpfFreq), storedName(*fresh, 3)),
      std::make_tuple(std::string("Default preset"), bank.values[2][kHpfFreq], bank.names[3]));
  click(Editor::kTagDefaultBank, kLButton | kDoubleClick | kControl);
  click(Editor::kTagDefaultPreset, kLButton | kDoubleClick | kControl);
  EXPECT_EQ(snapshot(*makeEffect()), factory) << "Control + double-click forgets them";
  // Damaged or foreign stored defaults are ignored.
  PreferenceStore stored;
  for (const Bytes& junk : {Bytes{'M', 'R', 'X', 'Q', 0x38, 0xFF, 0xFF}, Bytes{'M', 'R', 'X', 'Q'},
                            Bytes{'A', 'B', 'C', 'D', 0x38, 0, 0, 0, 0}}) {
    stored.setBytes("DefaultBank", junk);
    stored.setBytes("DefaultPreset", junk);
    EXPECT_EQ(snapshot(*makeEffect()), factory);
  }
}

TEST_F(PanelTest, MemoriesStoreAndRecallTheCurrentPresetAcrossInstances) {
  ASSERT_TRUE(editor->open(nullptr));
  const std::tuple<int32_t, int32_t, float, const char*> memories[] = {
      {Editor::kTagStoreA, Editor::kTagRecallA, 0.1f, "For A"},
      {Editor::kTagStoreB, Editor::kTagRecallB, 0.2f, "For B"}};
  effect->setPresetNo(1);
  for (auto [store, recall, value, name] : memories) {
    effect->setParameter(14, value);
    effect->setPresetName(name);
    click(store);
  }
  effect->setPresetNo(3);
  for (auto [store, recall, value, name] : memories) {
    click(recall);
    EXPECT_EQ(std::make_tuple(effect->getPresetNo(), effect->getParameter(14), fieldText()),
              std::make_tuple(3, value, std::string(name)))
        << "a memory loads into the current preset, with its name";
    expectPanelShowsStore();
  }
  EXPECT_EQ(effect->presetValue(1, 14), 0.2f) << "the stored-from preset is untouched";
  auto next = makeEffect();
  editorOf(*next).recallA();
  EXPECT_EQ("For A", storedName(*next, 0)) << "memories outlive the instance";
}

TEST_F(PanelTest, ARenameFromAHostThreadShowsOnlyAtTheNextIdle) {
  ASSERT_TRUE(editor->open(nullptr));
  const std::string before = fieldText();
  std::thread([this] { effect->setProgramName(const_cast<char*>("From the host")); }).join();
  EXPECT_EQ(fieldText(), before) << "no control is touched off the window thread";
  editor->idle();
  EXPECT_EQ(storedName(*effect, 0), "From the host");
  expectPanelShowsStore();
}

// After the window closes the frame has destroyed the row; nothing may reach for it any more
// (under AddressSanitizer a kept pointer is a use after free; here it usually crashes).
TEST_F(PanelTest, AClosedRowIsLeftAloneAndAReopenedOneShowsWhatChanged) {
  // Controls of a row no longer in a window: a gesture still reaches the store.
  const CRect r(0, 0, 30, 14);
  CTextEdit typed(r, editor, Editor::kTagName, "Typed late");
  CPSRockerSwitch rocker(r, editor, Editor::kTagPresetRocker, 14, nullptr, CPoint(0, 0));
  CPSKickButton manual(r, editor, Editor::kTagManual, 14, nullptr, CPoint(0, 0), false);
  ASSERT_TRUE(editor->open(nullptr));
  editor->close();
  effect->setProgramName(const_cast<char*>("Renamed while closed"));
  editor->idle();
  rocker.setValue(1.f);
  editor->valueChanged(&rocker);
  editor->valueChanged(&typed);
  ScopedEnv home("HOME", config.path().c_str());  // no manual there: an alert, on standard error
  testing::internal::CaptureStderr();
  editor->valueChanged(&manual);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not open manual file"),
            std::string::npos);
  for (int32_t tag : {0, 41, 95, 102, 107, 116})
    rocker.setTag(tag), editor->valueChanged(&rocker);  // not the row's
  ASSERT_TRUE(editor->open(nullptr));
  EXPECT_EQ(effect->getPresetNo(), 1);
  EXPECT_EQ(fieldText(), "Typed late");
  EXPECT_EQ(menu()->getEntry(0)->getTitle(), std::string("Renamed while closed"));
  expectPanelShowsStore();
  // The base class alone has no frame to add the row to.
  EXPECT_FALSE(CPresetSystemEditor(effect.get()).open(nullptr));
}

// The manual lives under a home folder made for the test; the opener is a stand-in script.
TEST_F(PanelTest, TheManualsOpenerGetsItsPathAndItsVerdictOrAMissingManualDecidesTheAlert) {
  TempDir home;
  const std::string inHome = "Documents/www.zal-audio.example/ZAL Veltrane/ZAL Veltrane Manual.pdf";
  const std::filesystem::path manual = home.path() / inHome;
  ScopedEnv homeVariable("HOME", home.path().c_str()),
      program(XPlatDocumentOpener::kProgramVariable, (home.dir() + "opener").c_str());
  ASSERT_TRUE(editor->open(nullptr));
  const std::tuple<bool, int, bool> table[] = {
      {false, 0, true}, {true, 0, false}, {true, 1, true}, {true, 0, false}};
  for (const auto& [placed, status, told] : table) {
    std::filesystem::create_directories(manual.parent_path());
    if (placed) std::ofstream(manual) << "%PDF-1.4\n";
    writeScript(home.path() / "opener", "printf '%s\\n' \"$@\" > '" + home.dir() + "args'\nexit " +
                                            std::to_string(status) + "\n");
    std::filesystem::remove(home.path() / "args");
    // Pressed without a release (the viewer may take it), then idled until the opener ends.
    testing::internal::CaptureStderr();
    CPoint at = control(Editor::kTagManual)->getViewSize().getCenter();
    frame()->onMouseDown(at, CButtonState(kLButton));
    for (int i = 0; i < 200 && editor->isOpeningManual(); ++i) {
      editor->idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        stderrText.find("Could not open manual file:\n~/\"" + inHome + "\"\n") != std::string::npos,
        told)
        << status;
    // Without a manual the opener is not even started; with one, it gets one argument.
    EXPECT_EQ(slurp(home.path() / "args"), placed ? manual.string() + "\n" : "");
    EXPECT_EQ(control(Editor::kTagManual)->getValue(), 0.f) << "the button does not stay down";
    EXPECT_FALSE(control<CPSKickButton>(Editor::kTagManual)->isPressed());
  }
}
