#include <algorithm>

#include "platform/PreferenceStore.h"
#include "presets/ToolkitFileDialog.h"
#include "tests/presets/PanelTestSupport.h"

using namespace presettest;
using Editor = CPresetSystemEditor;

// Loading and saving files, through the row's buttons or the editor's calls, with a scripted
// dialog unless a test installs the toolkit's.
class PresetFilesTest : public PanelTest {
 protected:
  TempDir files;
  ScriptedDialog& dialog = script(*editor);

  void writeFile(const char* name, const Bytes& bytes) {
    std::ofstream(files.path() / name)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
};

// The bank offered to both loads has an ID in this machine's order but every other field
// reversed: only the right-click ("endian-reversed") load takes it. The other dialogs are
// cancelled and change nothing.
TEST_F(PresetFilesTest, ButtonsAskTheDialogWithTheirTitlesAndFileTypes) {
  const StoreSnapshot store = snapshot(*effect);
  effect->setPresetNameOf(1, "Mixed order");
  Bytes bank = handBuffer(*effect, true, 3);
  std::memcpy(bank.data(), &Veltrane::kUniqueId, 4);
  writeFile("odd.zab", bank);
  const StoreSnapshot mixed = snapshot(*effect);
  effect->setPresetNameOf(1, store.names[1].c_str());
  ASSERT_TRUE(editor->open(nullptr));
  const std::tuple<int32_t, int64_t, std::string> table[] = {
      {Editor::kTagLoadBank, kLButton, "Load bank|ZAL Bank|zab"},
      {Editor::kTagLoadPreset, kLButton | kRButton, "Load preset|ZAL Preset|zal"},
      {Editor::kTagLoadPreset, kRButton, "Load preset (endian-reversed)|ZAL Preset|zal"},
      {Editor::kTagSaveBank, kLButton, "Save bank|ZAL Bank|zab"},
      {Editor::kTagSavePreset, kLButton, "Save preset|ZAL Preset|zal"},
      {Editor::kTagLoadBank, kRButton, "Load bank (endian-reversed)|ZAL Bank|zab"},
  };
  for (const auto& [tag, buttons, expected] : table) {
    dialog.asked.clear();
    if (tag == Editor::kTagLoadBank) dialog.answers = {files.dir() + "odd.zab"};
    click(tag, buttons);
    ASSERT_EQ(dialog.asked.size(), 1u) << expected;
    EXPECT_EQ(
        dialog.asked[0].title + "|" + dialog.asked[0].typeName + "|" + dialog.asked[0].extension,
        expected);
    EXPECT_EQ(snapshot(*effect), expected.find("bank (") != std::string::npos ? mixed : store)
        << expected;
  }
}

TEST_F(PresetFilesTest, SavedFilesLoadBackAndTheNextInstanceStartsWhereTheyWent) {
  dialog.answers = {files.dir() + "kick.zal", files.dir() + "all.zab", files.dir() + "all.zab"};
  fillDistinct(*effect, 0.4);
  effect->setPresetNo(2);  // the bank's header names preset 2 as current
  StoreSnapshot saved = snapshot(*effect);
  ASSERT_TRUE(editor->open(nullptr));
  click(Editor::kTagSavePreset);
  click(Editor::kTagSaveBank);
  fillDistinct(*effect, 0.8);
  editor->idle();
  EXPECT_TRUE(frame()->getInvalidRects().empty()) << "an idle draws what was invalid";
  click(Editor::kTagLoadBank);
  saved.presetNo = 0;  // a loaded bank starts at its first preset
  EXPECT_EQ(snapshot(*effect), saved);
  expectPanelShowsStore();
  const auto& invalid = frame()->getInvalidRects();
  EXPECT_NE(std::find(invalid.begin(), invalid.end(), CRect(0, 0, 778, 248)), invalid.end())
      << "the whole window redraws";
  editor->storePathsAndFilenames();  // as the instance does when it goes
  auto next = makeEffect();
  ScriptedDialog& asked = script(editorOf(*next));
  editorOf(*next).savePreset();  // cancelled
  editorOf(*next).loadBank(false);
  ASSERT_EQ(2u, asked.asked.size());
  EXPECT_EQ(files.dir() + "|kick.zal",
            asked.asked[0].initialDir + "|" + asked.asked[0].defaultName);
  EXPECT_EQ(files.dir() + "|all.zab", asked.asked[1].initialDir + "|" + asked.asked[1].defaultName);
  // A stored folder longer than the buffer is ignored, not cut.
  PreferenceStore().setText("CurrDir", "/" + std::string(300, 'd') + "/");
  EXPECT_NE(stderrOf([&] { next = makeEffect(); }).find("CurrDir is too long"), std::string::npos);
  EXPECT_EQ(std::string(editorOf(*next).getCurrDir()) + "|" + editorOf(*next).getCurrBank(),
            "|all.zab");
}

TEST_F(PresetFilesTest, ThroughTheDesktopsDialogASavedPresetLoadsBack) {
  // The toolkit's dialog runs the program named here.
  editor->setFileDialog(std::make_unique<ToolkitFileDialog>(*editor));
  ScopedEnv program("VELTRANE_DIALOG_PROGRAM", (files.dir() + "dialog").c_str());
  writeScript(files.path() / "dialog", "printf '%s\\n' \"$@\" > '" + files.dir() + "args'\ncat '" +
                                           files.dir() + "answer'\n");
  std::ofstream(files.path() / "answer") << files.dir() << "Vocal v1.2\n";
  fillDistinct(*effect, 0.6);
  effect->setPresetNo(1);
  effect->setPresetName("Round trip");
  const StoreSnapshot saved = snapshot(*effect);
  ASSERT_TRUE(editor->open(nullptr));
  click(Editor::kTagSavePreset);
  CPresetSystemEditor::Buffer preset;
  editor->PresetToBuffer(preset);
  EXPECT_EQ(slurp(files.path() / "Vocal v1.2.zal"), std::string(preset.begin(), preset.end()))
      << "the file type's extension is added to a name without it";
  EXPECT_NE(slurp(files.path() / "args").find("--title=Save preset\n--save\n"), std::string::npos);
  // The next dialog starts in the folder where this one ended. A shared factory file may be
  // read-only: loading never writes.
  chmod((files.path() / "Vocal v1.2.zal").c_str(), 0444);
  std::ofstream(files.path() / "answer") << files.dir() << "Vocal v1.2.zal\n";
  effect->setPresetNo(4);
  click(Editor::kTagLoadPreset);
  EXPECT_NE(slurp(files.path() / "args").find("\n--filename=" + files.dir() + "\n"),
            std::string::npos);
  EXPECT_EQ(effect->getPresetNo(), 4) << "a preset loads into the current preset";
  for (int i : savedParameters(*effect))
    EXPECT_EQ(effect->presetValue(4, i), saved.values[1][i]) << i;
  EXPECT_EQ(fieldText(), "Round trip");
  expectPanelShowsStore();
}

TEST_F(PresetFilesTest, LoadsAndSavesThatCannotHappenChangeNothingAndSavesSaySo) {
  std::filesystem::create_directory(files.path() / "folder.zal");
  writeFile("tiny.zal", {'M', 'R', 'X', 'Q'});
  writeFile("huge.zab", Bytes(CPresetSystemEditor::kMaxLoadBytes + 1, 0));
  const std::optional<std::string> cases[] = {
      std::nullopt,  // cancelled
      files.dir() + "missing.zal",
      files.dir() + "folder.zal",
      files.dir() + "tiny.zal",  // shorter than ID and type
      files.dir() + "huge.zab",  // larger than any bank
      files.dir() + std::string(257, 'n'),
      "/" + std::string(300, 'd') + "/x.zal",
      files.dir(),  // no file name
  };
  const StoreSnapshot before = snapshot(*effect);
  for (const auto& chosen : cases) {
    dialog.answers = {chosen, chosen};
    stderrOf([&] { editor->loadPreset(false), editor->loadBank(false); });
    EXPECT_EQ(before, snapshot(*effect)) << chosen.value_or("cancelled");
  }
  // The refused paths (the last three) left the remembered folder and name as the last
  // accepted one set them.
  EXPECT_EQ(files.dir() + "|huge.zab",
            std::string(editor->getCurrDir()) + "|" + editor->getCurrPreset());
  const std::pair<std::string, const char*> saves[] = {
      {files.dir() + "no/such/folder/x.zal", "Could not save the file:\n"},
      {files.dir() + std::string(300, 'n'), "The path is too long"}};
  for (const auto& [chosen, message] : saves) {
    dialog.answers = {chosen};
    EXPECT_NE(stderrOf([&] { editor->savePreset(); }).find(message), std::string::npos) << chosen;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.path()), {}), 3)
      << "nothing saved";
}
