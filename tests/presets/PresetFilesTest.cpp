#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/XPlatAlert.h"
#include "tests/presets/PresetTestSupport.h"

using namespace presettest;

namespace {

void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class PresetFilesTest : public PresetTest {
 protected:
  TempDir files;
  std::unique_ptr<Veltrane> effect = makeEffect();
  CPresetSystemEditor& editor = editorOf(*effect);
  ScriptedDialog* dialog = nullptr;

  void SetUp() override {
    // Alerts go to standard error only; no dialog program pops up during tests.
    XPlatSetAlertProgram(AlertProgram{"/bin/true", AlertProgramKind::Zenity});
    auto scripted = std::make_unique<ScriptedDialog>();
    dialog = scripted.get();
    editor.setFileDialog(std::move(scripted));
  }
  void TearDown() override { XPlatSetAlertProgram(std::nullopt); }
  void choose(const std::string& path) { dialog->answers.push_back(path); }
};

TEST_F(PresetFilesTest, SavedFilesLoadBackAndTheDialogsAreDescribed) {
  effect->setPresetNo(2);
  effect->setPresetNameOf(2, "Saved");
  effect->setPresetValue(2, kHpfFreq, 0.3f);
  choose(files.dir() + "one.zal");
  editor.savePreset();
  choose(files.dir() + "all.zab");
  editor.saveBank();
  CPresetSystemEditor::Buffer preset, bank;
  editor.PresetToBuffer(preset);
  editor.BankToBuffer(bank);
  EXPECT_EQ(preset, readFile(files.path() / "one.zal"));
  EXPECT_EQ(bank, readFile(files.path() / "all.zab"));
  EXPECT_EQ(files.dir(), editor.getCurrDir());
  EXPECT_STREQ("one.zal", editor.getCurrPreset());
  EXPECT_STREQ("all.zab", editor.getCurrBank());

  StoreSnapshot saved = snapshot(*effect);
  effect->setPresetValue(2, kHpfFreq, 0.9f);
  choose(files.dir() + "one.zal");
  editor.loadPreset(false);
  EXPECT_EQ(0.3f, effect->getParameter(kHpfFreq));

  effect->setPresetNameOf(4, "Changed");
  choose(files.dir() + "all.zab");
  editor.loadBank(false);
  saved.presetNo = 0;  // a loaded bank starts at its first preset, whatever it was saved on
  EXPECT_EQ(saved, snapshot(*effect));

  struct Expected {
    const PresetFileDialog::Request& request;
    const char* title;
    const char* type;
    const char* extension;
  } expected[] = {
      {dialog->saves[0], "Save preset", "ZAL Preset", "zal"},
      {dialog->saves[1], "Save bank", "ZAL Bank", "zab"},
      {dialog->opens[0], "Load preset", "ZAL Preset", "zal"},
      {dialog->opens[1], "Load bank", "ZAL Bank", "zab"},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(e.title, e.request.title);
    EXPECT_EQ(e.type, e.request.typeName);
    EXPECT_EQ(e.extension, e.request.extension);
  }
  EXPECT_EQ(files.dir(), dialog->opens[1].initialDir);
}

TEST_F(PresetFilesTest, EndianReversedLoadInvertsTheByteOrderDecision) {
  // A file whose ID reads in this machine's order but whose fields are all reversed.
  StoreSnapshot wanted = snapshot(*effect);
  wanted.names[1] = "Mixed order";
  HandBuffer bank = handBank(wanted, savedParameters(*effect), true, 3);
  std::memcpy(bank.bytes.data(), &Veltrane::kUniqueId, 4);
  writeFile(files.path() / "odd.zab", bank.bytes);

  choose(files.dir() + "odd.zab");
  editor.loadBank(true);
  ASSERT_EQ(1u, dialog->opens.size());
  EXPECT_EQ("Load bank (endian-reversed)", dialog->opens[0].title);
  EXPECT_STREQ("Mixed order", effect->presetName(1));
  EXPECT_EQ(0, effect->getPresetNo());

  choose(files.dir() + "odd.zab");
  editor.loadPreset(true);
  EXPECT_EQ("Load preset (endian-reversed)", dialog->opens[1].title);
}

TEST_F(PresetFilesTest, LoadsThatCannotHappenChangeNothing) {
  std::filesystem::create_directory(files.path() / "folder.zal");
  writeFile(files.path() / "tiny.zal", {'M', 'R', 'X', 'Q'});
  writeFile(files.path() / "huge.zab",
            std::vector<unsigned char>(CPresetSystemEditor::kMaxLoadBytes + 1, 0));
  const std::string tooLongName = files.dir() + std::string(257, 'n');
  const std::string tooLongDir = "/" + std::string(300, 'd') + "/x.zal";
  struct Case {
    const char* what;
    std::optional<std::string> chosen;
  } cases[] = {
      {"cancelled", std::nullopt},
      {"missing", files.dir() + "missing.zal"},
      {"a folder", files.dir() + "folder.zal"},
      {"shorter than ID and type", files.dir() + "tiny.zal"},
      {"larger than any bank", files.dir() + "huge.zab"},
      {"file name too long", tooLongName},
      {"folder too long", tooLongDir},
      {"no file name", files.dir()},
  };
  for (const auto& c : cases) {
    StoreSnapshot before = snapshot(*effect);
    dialog->answers.push_back(c.chosen);
    testing::internal::CaptureStderr();
    editor.loadPreset(false);
    dialog->answers.push_back(c.chosen);
    editor.loadBank(false);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(before, snapshot(*effect)) << c.what;
  }
  // The refused paths (the last three) left the remembered folder and name as the last
  // accepted one set them.
  EXPECT_EQ(files.dir(), editor.getCurrDir());
  EXPECT_STREQ("huge.zab", editor.getCurrPreset());
}

TEST_F(PresetFilesTest, RefusedAndFailedSavesAreReported) {
  struct Case {
    const char* what;
    std::string chosen;
    const char* message;
  } cases[] = {
      {"folder missing", files.dir() + "no/such/folder/x.zal", "Could not save the file:"},
      {"file name too long", files.dir() + std::string(300, 'n'), "The path is too long"},
  };
  for (const auto& c : cases) {
    choose(c.chosen);
    testing::internal::CaptureStderr();
    editor.savePreset();
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find(c.message)) << c.what;
  }
  EXPECT_TRUE(std::filesystem::is_empty(files.path()));
}

TEST_F(PresetFilesTest, ReadOnlyFilesLoad) {
  CPresetSystemEditor::Buffer preset;
  effect->setPresetValue(0, kHpfFreq, 0.6f);
  editor.PresetToBuffer(preset);
  effect->setPresetValue(0, kHpfFreq, 0.1f);
  writeFile(files.path() / "factory.zal", preset);
  chmod((files.path() / "factory.zal").c_str(), 0444);
  choose(files.dir() + "factory.zal");
  editor.loadPreset(false);
  EXPECT_EQ(0.6f, effect->getParameter(kHpfFreq));
}
