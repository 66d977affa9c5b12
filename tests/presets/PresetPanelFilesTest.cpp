#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "gui/CNewFileSelector.h"
#include "tests/presets/PanelTestSupport.h"

using namespace presettest;
using Editor = CPresetSystemEditor;

namespace {

void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// The values a preset file carries (the dummies are not saved).
std::vector<float> currentValues(Veltrane& effect) {
  std::vector<float> values;
  for (int i : savedParameters(effect)) values.push_back(effect.getParameter(i));
  return values;
}

void makeDistinct(Veltrane& effect, int preset, const char* name) {
  effect.setPresetNo(preset);
  effect.setPresetName(name);
  for (int i : savedParameters(effect))
    effect.setParameter(i, 0.05f + 0.02f * static_cast<float>(i));
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

}  // namespace

class PanelFilesTest : public PanelTest {
 protected:
  TempDir files;
};

TEST_F(PanelFilesTest, ButtonsAskTheDialogWithTheirTitlesAndFileTypes) {
  ScriptedDialog* dialog = installScriptedDialog();
  ASSERT_TRUE(editor->open(nullptr));
  const struct {
    int32_t tag;
    int64_t buttons;
    const char* title;
  } table[] = {
      {Editor::kTagLoadBank, kLButton, "Load bank"},
      {Editor::kTagLoadBank, kRButton, "Load bank (endian-reversed)"},
      {Editor::kTagLoadPreset, kLButton, "Load preset"},
      {Editor::kTagLoadPreset, kRButton, "Load preset (endian-reversed)"},
      {Editor::kTagSaveBank, kLButton, "Save bank"},
      {Editor::kTagSavePreset, kLButton, "Save preset"},
  };
  const auto store = snapshot(*effect);
  for (const auto& row : table) {
    SCOPED_TRACE(row.title);
    const bool save = row.title[0] == 'S',
               bank = std::string(row.title).find("bank") != std::string::npos;
    dialog->opens.clear();
    dialog->saves.clear();
    click(row.tag, row.buttons);  // cancelled: no answer scripted
    ASSERT_EQ(dialog->opens.size() + dialog->saves.size(), 1u);
    const auto& asked = save ? dialog->saves : dialog->opens;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, row.title);
    EXPECT_EQ(asked[0].typeName, bank ? "ZAL Bank" : "ZAL Preset");
    EXPECT_EQ(asked[0].extension, bank ? "zab" : "zal");
  }
  EXPECT_EQ(snapshot(*effect), store) << "cancelled dialogs change nothing";
}

TEST_F(PanelFilesTest, LoadedBankStartsAtPresetZeroWhateverItsHeaderSays) {
  ScriptedDialog* dialog = installScriptedDialog();
  auto source = makeEffect();
  const char* names[] = {"First", "Second", "Third", "Fourth", "Fifth"};
  for (int k = 0; k < kNumPresets; ++k) makeDistinct(*source, k, names[k]);
  source->setPresetValue(0, 13, 0.75f);
  const auto store = snapshot(*source);
  writeBytes(files.path() / "bank.zab", handBank(store, savedParameters(*source), false, 3).bytes);

  effect->setPresetNo(2);
  ASSERT_TRUE(editor->open(nullptr));
  editor->idle();  // draws and empties the invalid regions
  dialog->answers = {files.dir() + "bank.zab"};
  click(Editor::kTagLoadBank);
  EXPECT_EQ(effect->getPresetNo(), 0);
  EXPECT_EQ(effect->getParameter(13), 0.75f);
  EXPECT_EQ(fieldText(), "First");
  expectPanelShowsStore(editor, *effect);
  EXPECT_EQ(std::string(editor->getCurrBank()), "bank.zab");
  const auto& invalid = frame()->getInvalidRects();
  EXPECT_TRUE(std::any_of(invalid.begin(), invalid.end(), [](const CRect& r) {
    return r == CRect(0, 0, 778, 248);
  })) << "the whole window redraws after a load";
}

TEST_F(PanelFilesTest, SavedPresetLoadsIntoAFreshInstanceThroughTheStandInDialog) {
  // No dialog installed: opening the window installs the toolkit's, which runs the program
  // named in the environment.
  const std::string script = files.dir() + "dialog";
  writeScript(script, "printf '%s\\n' \"$@\" > '" + files.dir() + "args'\n" + "cat '" +
                          files.dir() + "answer'\n");
  ScopedEnv program("VELTRANE_DIALOG_PROGRAM", script.c_str());
  std::ofstream(files.path() / "answer") << files.dir() << "Vocal v1.2\n";

  makeDistinct(*effect, 1, "Round trip");
  ASSERT_TRUE(editor->open(nullptr));
  click(Editor::kTagSavePreset);
  ASSERT_TRUE(std::filesystem::exists(files.path() / "Vocal v1.2.zal"))
      << "the file type's extension is added to a name without it";
  EXPECT_NE(slurp(files.path() / "args").find("--title=Save preset\n--save\n"), std::string::npos);

  // The next dialog starts where this one ended, with the name it chose.
  std::ofstream(files.path() / "answer") << files.dir() << "Vocal v1.2.zal\n";
  click(Editor::kTagSavePreset);
  const auto args = lines(slurp(files.path() / "args"));
  EXPECT_NE(std::find(args.begin(), args.end(), "--filename=" + files.dir() + "Vocal v1.2.zal"),
            args.end());

  auto fresh = makeEffect();
  PanelEditor* freshEditor = attachPanel(*fresh);
  ASSERT_TRUE(freshEditor->open(nullptr));
  fresh->setPresetNo(4);
  click(Editor::kTagLoadPreset, kLButton, freshEditor);
  EXPECT_EQ(fresh->getPresetNo(), 4) << "a preset loads into the current preset";
  EXPECT_EQ(currentValues(*fresh), currentValues(*effect));
  EXPECT_EQ(fieldText(freshEditor), "Round trip");
  expectPanelShowsStore(freshEditor, *fresh);
  freshEditor->close();
}

TEST_F(PanelFilesTest, ASaveDialogAnswerThatIsNotOnePathSavesNothing) {
  // A name with a line break comes out as two lines; the first names another file.
  makeDistinct(*effect, 0, "Kept");
  ASSERT_TRUE(editor->open(nullptr));
  for (const std::string& answer :
       {files.dir() + "my\nfile", std::string("Gtk-Message: theme /usr/share/themes")}) {
    SCOPED_TRACE(answer);
    const std::string script = files.dir() + "dialog";
    writeScript(script, "printf '%s\\n' '" + answer + "'\n");
    ScopedEnv program("VELTRANE_DIALOG_PROGRAM", script.c_str());
    click(Editor::kTagSavePreset);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.path()), {}), 1)
        << "only the stand-in itself";
    EXPECT_STREQ(editor->getCurrDir(), "");
    EXPECT_STREQ(editor->getCurrPreset(), "");
  }
}

TEST_F(PanelFilesTest, TheDialogGetsNoHostFilesAndCanBeAskedToEnd) {
  const int hostFile = open(files.dir().c_str(), O_RDONLY);  // not close-on-exec
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &previous);  // a host that ignores it for itself
  const std::string script = files.dir() + "dialog";
  writeScript(script, "{ [ -e /proc/$$/fd/" + std::to_string(hostFile) +
                          " ] && echo leaked; grep SigIgn /proc/$$/status; } > '" + files.dir() +
                          "seen'\n");
  ScopedEnv program("VELTRANE_DIALOG_PROGRAM", script.c_str());
  ASSERT_TRUE(editor->open(nullptr));
  click(Editor::kTagLoadPreset);
  sigaction(SIGTERM, &previous, nullptr);
  close(hostFile);
  const std::string seen = slurp(files.path() / "seen");
  ASSERT_EQ(seen.rfind("SigIgn:\t", 0), 0u) << seen;
  EXPECT_EQ(std::stoull(seen.substr(8), nullptr, 16) >> (SIGTERM - 1) & 1, 0u) << seen;
}
