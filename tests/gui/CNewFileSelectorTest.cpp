#include "GuiTestSupport.h"

#include "gui/CNewFileSelector.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A stand-in dialog program: records its arguments and environment, prints an answer.
struct FakeDialog {
  std::string dir;
  std::string program;

  FakeDialog(const char* name, const std::string& answer, int status) {
    char pattern[] = "/tmp/vt_dialog_XXXXXX";
    dir = mkdtemp(pattern);
    program = dir + "/" + name;
    std::ofstream script(program);
    script << "#!/bin/sh\n"
           << "printf '%s\\n' \"$@\" > '" << dir << "/args'\n"
           << "echo \"${LD_LIBRARY_PATH-unset}\" > '" << dir << "/env'\n";
    if (!answer.empty()) script << "printf '%s\\n' '" << answer << "'\n";
    script << "exit " << status << "\n";
    script.close();
    chmod(program.c_str(), 0755);
    CNewFileSelector::setDialogProgram(program.c_str());
  }
  ~FakeDialog() {
    CNewFileSelector::setDialogProgram(nullptr);
    std::system(("rm -rf '" + dir + "'").c_str());
  }
  std::vector<std::string> args() const {
    std::ifstream in(dir + "/args");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string env() const {
    std::ifstream in(dir + "/env");
    std::string line;
    std::getline(in, line);
    return line;
  }
};

bool contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

struct Delegate : CBaseObject {
  int notified = 0;
  int files = -1;
  CMessageResult notify(CBaseObject* sender, const char* message) override {
    if (std::string(message) == CNewFileSelector::kSelectEndMessage) {
      ++notified;
      files = static_cast<CNewFileSelector*>(sender)->getNumSelectedFiles();
    }
    return kMessageNotified;
  }
};

}  // namespace

TEST(CNewFileSelector, SaveDialogGetsItsArgumentsVerbatimAndTheExtensionIsAdded) {
  FakeDialog dialog("zenity", "/home/u/presets/My \"best\" $(x)", 0);
  setenv("LD_LIBRARY_PATH", "/opt/host/lib", 1);
  CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectSaveFile);
  selector->setTitle("Save preset");
  selector->setInitialDirectory("/home/u/presets/");
  selector->setDefaultSaveName("Preset 1.zal");
  const CFileExtension zal("ZAL Preset", "zal");
  selector->setDefaultExtension(zal);
  selector->addFileExtension(zal);
  ASSERT_TRUE(selector->runModal());
  unsetenv("LD_LIBRARY_PATH");
  ASSERT_EQ(selector->getNumSelectedFiles(), 1);
  EXPECT_STREQ(selector->getSelectedFile(0), "/home/u/presets/My \"best\" $(x).zal");
  EXPECT_EQ(selector->getSelectedFile(1), nullptr);
  const auto args = dialog.args();
  for (const char* expected :
       {"--file-selection", "--title=Save preset", "--save", "--confirm-overwrite",
        "--filename=/home/u/presets/Preset 1.zal", "--file-filter=ZAL Preset | *.zal"})
    EXPECT_TRUE(contains(args, expected)) << expected;
  EXPECT_EQ(dialog.env(), "unset") << "the host's library path is not passed on";
  selector->forget();
}

// The dialogs confirm overwriting the name as typed. When the added extension makes it name
// an existing file, the same program asks about that file, and only a yes keeps the choice.
TEST(CNewFileSelector, ReplacingAFileTheDialogDidNotNameIsAskedFirst) {
  const struct {
    const char* program;
    const char* typed;
    int reply;  // exit status of the question
    bool asked;
    const char* chosen;  // "" for none
  } rows[] = {{"zenity", "Foo", 1, true, ""},
              {"zenity", "Foo", 0, true, "Foo.zal"},
              {"kdialog", "Foo", 1, true, ""},
              {"zenity", "Foo.zal", 1, false, "Foo.zal"},
              {"zenity", "New", 1, false, "New.zal"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.program) + " " + row.typed + " " + std::to_string(row.reply));
    FakeDialog dialog(row.program, "", 0);
    const std::string& dir = dialog.dir;
    std::ofstream(dir + "/Foo.zal") << "kept";
    std::ofstream(dir + "/answer") << dir << "/" << row.typed << "\n";
    std::ofstream(dir + "/reply") << row.reply;
    std::ofstream(dialog.program)
        << "#!/bin/sh\nfor a; do case \"$a\" in --question|--warningyesno)"
        << " printf '%s\\n' \"$@\" > '" << dir << "/question'; exit $(cat '" << dir
        << "/reply');; esac; done\ncat '" << dir << "/answer'\n";
    CNewFileSelector* selector =
        CNewFileSelector::create(nullptr, CNewFileSelector::kSelectSaveFile);
    selector->setTitle("Save preset");
    selector->setDefaultExtension(CFileExtension("ZAL Preset", "zal"));
    EXPECT_EQ(selector->runModal(), row.chosen[0] != '\0');
    EXPECT_EQ(selector->getNumSelectedFiles() ? selector->getSelectedFile(0) : "",
              row.chosen[0] ? dir + "/" + row.chosen : "");
    std::ifstream question(dir + "/question");
    const std::string asked{std::istreambuf_iterator<char>(question), {}};
    EXPECT_EQ(!asked.empty(), row.asked) << asked;
    if (row.asked) {
      EXPECT_NE(asked.find("A file named \"Foo.zal\" already exists in \"" + dir + "/\""),
                std::string::npos)
          << asked;
      EXPECT_NE(
          asked.find(std::string(row.program) == "kdialog" ? "Save preset\n--warningyesno"
                                                           : "--question\n--title=Save preset"),
          std::string::npos)
          << asked;
    }
    selector->forget();
  }
}

TEST(CNewFileSelector, CancelAndMissingProgramSelectNothing) {
  {
    FakeDialog dialog("zenity", "", 1);
    CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile);
    EXPECT_FALSE(selector->runModal());
    EXPECT_EQ(selector->getNumSelectedFiles(), 0);
    selector->forget();
  }
  CNewFileSelector::setDialogProgram("/nonexistent/zenity");
  CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile);
  EXPECT_FALSE(selector->runModal());
  EXPECT_FALSE(selector->run(nullptr));
  selector->forget();
  CNewFileSelector::setDialogProgram(nullptr);
}

TEST(CNewFileSelector, KdialogGetsItsOwnSyntax) {
  FakeDialog dialog("kdialog", "/a/b.zab", 0);
  CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile);
  selector->setTitle("Load bank (endian-reversed)");
  selector->setInitialDirectory("/a");
  selector->addFileExtension(CFileExtension("ZAL Bank", "zab"));
  ASSERT_TRUE(selector->runModal());
  EXPECT_STREQ(selector->getSelectedFile(0), "/a/b.zab");
  EXPECT_EQ(dialog.args(),
            (std::vector<std::string>{"--title", "Load bank (endian-reversed)", "--getopenfilename",
                                      "/a/", "*.zab|ZAL Bank"}));
  selector->forget();
}

TEST(CNewFileSelector, RunReturnsAtOnceAndNotifiesFromIdle) {
  FakeDialog dialog("zenity", "/x/y.zal", 0);
  CallLog log;
  TestFrame frame(log);
  auto* delegate = new Delegate;
  CNewFileSelector* selector = CNewFileSelector::create(frame.get(), CNewFileSelector::kSelectFile);
  ASSERT_TRUE(selector->run(delegate));
  selector->forget();  // the running dialog keeps itself alive
  EXPECT_EQ(delegate->notified, 0);
  for (int i = 0; i < 500 && delegate->notified == 0; ++i) {
    frame->idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(delegate->notified, 1);
  EXPECT_EQ(delegate->files, 1);
  delegate->forget();
}

TEST(CNewFileSelector, ClosingTheWindowEndsARunningDialog) {
  CallLog log;
  auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, &log);
  FakeDialog dialog("zenity", "", 0);
  {
    std::ofstream slow(dialog.program);
    slow << "#!/bin/sh\nexec sleep 30\n";
  }
  auto* delegate = new Delegate;
  CNewFileSelector* selector = CNewFileSelector::create(frame, CNewFileSelector::kSelectFile);
  ASSERT_TRUE(selector->run(delegate));
  selector->forget();
  const auto start = std::chrono::steady_clock::now();
  frame->close();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(delegate->notified, 1);
  EXPECT_EQ(delegate->files, 0);
  delegate->forget();
}

TEST(CNewFileSelector, EnvironmentNamesTheProgramBeforeTheDesktopDialogs) {
  char pattern[] = "/tmp/vt_dialog_XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string program = dir + "/stand-in";
  {
    std::ofstream script(program);
    script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << dir << "/args'\necho /chosen/by/env.zab\n";
  }
  chmod(program.c_str(), 0755);
  const std::string notExecutable = dir + "/args";
  std::ofstream(notExecutable) << "";
  const char* kVariable = "VELTRANE_DIALOG_PROGRAM";

  setenv(kVariable, program.c_str(), 1);
  EXPECT_EQ(CNewFileSelector::getDialogProgram(), program);
  CNewFileSelector* selector = CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile);
  selector->setTitle("Load bank");
  ASSERT_TRUE(selector->runModal());
  EXPECT_STREQ(selector->getSelectedFile(0), "/chosen/by/env.zab");
  std::ifstream in(dir + "/args");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "--file-selection") << "a stand-in gets zenity's arguments";
  selector->forget();

  CNewFileSelector::setDialogProgram("/explicit/zenity");
  EXPECT_EQ(CNewFileSelector::getDialogProgram(), "/explicit/zenity") << "the setter wins";
  CNewFileSelector::setDialogProgram(nullptr);
  // Only an absolute path to an executable counts; otherwise the desktop's choice stands.
  for (const std::string& ignored : {std::string("stand-in"), notExecutable, dir + "/absent"}) {
    setenv(kVariable, ignored.c_str(), 1);
    EXPECT_NE(CNewFileSelector::getDialogProgram(), ignored);
  }
  unsetenv(kVariable);
  std::system(("rm -rf '" + dir + "'").c_str());
}
