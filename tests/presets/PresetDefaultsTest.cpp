#include "platform/PreferenceStore.h"
#include "tests/presets/PresetTestSupport.h"

using namespace presettest;

namespace {

void customise(Veltrane& effect, const char* prefix) {
  for (int k = 0; k < kNumPresets; ++k) {
    effect.setPresetNameOf(k, (std::string(prefix) + std::to_string(k)).c_str());
    for (int i = 2; i < kNumPresetValues; ++i)
      if (!effect.isDummy(i)) effect.setPresetValue(k, i, 0.05f * k + 0.01f * (i % 7));
  }
}

}  // namespace

class PresetDefaultsTest : public PresetTest {};

TEST_F(PresetDefaultsTest, NewInstanceStartsFromTheStoredDefaultBankAndPreset) {
  StoreSnapshot factory = snapshot(*makeEffect());
  EXPECT_EQ(0, factory.presetNo);

  StoreSnapshot saved;
  {
    auto effect = makeEffect();
    customise(*effect, "Mine ");
    effect->setPresetNo(3);  // saved while another preset is current
    saved = snapshot(*effect);
    editorOf(*effect).saveDefaultBank();
  }
  saved.presetNo = 0;  // a new instance still starts at preset 0
  EXPECT_EQ(saved, snapshot(*makeEffect()));

  // The default preset lands on top of the default bank, in preset 0.
  {
    auto effect = makeEffect();
    effect->setPresetNameOf(0, "Default preset");
    effect->setPresetValue(0, kHpfFreq, 0.75f);
    editorOf(*effect).saveDefaultPreset();
  }
  {
    auto effect = makeEffect();
    EXPECT_STREQ("Default preset", effect->presetName(0));
    EXPECT_EQ(0.75f, effect->getParameter(kHpfFreq));
    EXPECT_EQ(saved.names[3], effect->presetName(3));
    editorOf(*effect).resetDefaultBank();
    editorOf(*effect).resetDefaultPreset();
  }
  EXPECT_EQ(factory, snapshot(*makeEffect()));
}

TEST_F(PresetDefaultsTest, DamagedOrForeignStoredEntriesAreIgnored) {
  StoreSnapshot factory = snapshot(*makeEffect());
  PreferenceStore store;
  const std::vector<unsigned char> junk = {'M', 'R', 'X', 'Q', 0x38, 0xFF, 0xFF};
  const std::vector<unsigned char> foreign = {'A', 'B', 'C', 'D', 0x38, 0, 0, 0, 0};
  const std::vector<unsigned char> tiny = {'M', 'R', 'X', 'Q'};
  for (const auto& bytes : {junk, foreign, tiny}) {
    store.setBytes("DefaultBank", bytes);
    store.setBytes("DefaultPreset", bytes);
    EXPECT_EQ(factory, snapshot(*makeEffect()));
  }
}

TEST_F(PresetDefaultsTest, MemoriesAAndBRecallIntoTheCurrentPreset) {
  auto effect = makeEffect();
  auto& editor = editorOf(*effect);
  StoreSnapshot untouched = snapshot(*effect);
  editor.recallA();  // nothing stored yet: nothing happens
  EXPECT_EQ(untouched, snapshot(*effect));

  effect->setPresetNo(1);
  effect->setPresetNameOf(1, "For A");
  effect->setPresetValue(1, kHpfFreq, 0.125f);
  editor.storeA();
  effect->setPresetNameOf(1, "For B");
  effect->setPresetValue(1, kHpfFreq, 0.875f);
  editor.storeB();

  effect->setPresetNo(3);
  editor.recallA();
  EXPECT_EQ(3, effect->getPresetNo());
  EXPECT_STREQ("For A", effect->presetName(3));
  EXPECT_EQ(0.125f, effect->getParameter(kHpfFreq));
  editor.recallB();
  EXPECT_STREQ("For B", effect->presetName(3));
  EXPECT_EQ(0.875f, effect->presetValue(3, kHpfFreq));

  // Memories outlive the instance.
  auto next = makeEffect();
  editorOf(*next).recallA();
  EXPECT_STREQ("For A", next->presetName(0));
}

TEST_F(PresetDefaultsTest, FolderAndNamesAreRememberedAndOverlongOnesRefused) {
  {
    auto effect = makeEffect();
    auto dialog = std::make_unique<ScriptedDialog>();
    dialog->answers.push_back(config.dir() + "kick.zal");
    editorOf(*effect).setFileDialog(std::move(dialog));
    editorOf(*effect).savePreset();
  }
  {
    auto effect = makeEffect();
    auto& editor = editorOf(*effect);
    EXPECT_EQ(config.dir(), editor.getCurrDir());
    EXPECT_STREQ("kick.zal", editor.getCurrPreset());
    auto dialog = std::make_unique<ScriptedDialog>();
    ScriptedDialog& script = *dialog;
    editor.setFileDialog(std::move(dialog));
    editor.savePreset();  // cancelled
    ASSERT_EQ(1u, script.saves.size());
    EXPECT_EQ(config.dir(), script.saves[0].initialDir);
    EXPECT_EQ("kick.zal", script.saves[0].defaultName);
  }
  // A stored folder longer than the buffer is ignored, not cut.
  PreferenceStore().setText("CurrDir", "/" + std::string(300, 'd') + "/");
  testing::internal::CaptureStderr();
  auto effect = makeEffect();
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("CurrDir is too long"));
  EXPECT_STREQ("", editorOf(*effect).getCurrDir());
  EXPECT_STREQ("kick.zal", editorOf(*effect).getCurrPreset());
}

TEST_F(PresetDefaultsTest, EditorObjectIsTheWindowTheHostIsOffered) {
  // The chunks and defaults need the editor object; it is also the window.
  auto effect = makeEffect();
  EXPECT_NE(nullptr, dynamic_cast<CPresetSystemEditor*>(effect->getEditor()));
  EXPECT_NE(0, effect->getAeffect()->flags & effFlagsHasEditor);
}

TEST_F(PresetDefaultsTest, PresetNameHandedBackToItselfSurvives) {
  auto effect = makeEffect();
  effect->setPresetNo(2);
  effect->setPresetNameOf(2, "Kept name");
  effect->setPresetName(effect->presetName(2));
  EXPECT_STREQ("Kept name", effect->presetName(2));
}
