#include "GuiTestSupport.h"
#include "tests/support/TempDir.h"

#include "gui/CNewFileSelector.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>
#include <sys/stat.h>

namespace {

// A stand-in dialog program: prints an answer, or answers a yes/no question with `reply` and
// records the question's arguments (a line each).
struct FakeDialog {
  TempDir folder;
  const std::string dir = folder.dir(), program;

  FakeDialog(const char* name, const std::string& answer, int status = 0, int reply = 0)
      : program(dir + name) {
    std::ofstream(dir + "answer") << answer;
    std::ofstream(program) << "#!/bin/sh\nfor a; do case \"$a\" in --question|--warningyesno)"
                           << " printf '%s\\n' \"$@\" > '" << dir << "question'; exit " << reply
                           << ";; esac; done\ncat '" << dir << "answer'\nexit " << status << "\n";
    chmod(program.c_str(), 0755);
    CNewFileSelector::setDialogProgram(program.c_str());
  }
  ~FakeDialog() { CNewFileSelector::setDialogProgram(nullptr); }
  std::string read(const char* file) const {
    std::ifstream in(dir + file);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

OwningPointer<CNewFileSelector> presetDialog(CNewFileSelector::Style style, const char* dir,
                                             bool multiple = false) {
  OwningPointer<CNewFileSelector> selector(CNewFileSelector::create(nullptr, style));
  selector->setTitle("Save");
  selector->setInitialDirectory(dir);
  selector->setDefaultSaveName("Preset 1.zal");
  const CFileExtension zal("Preset", "zal");
  selector->setDefaultExtension(zal);
  selector->addFileExtension(zal);
  selector->setAllowMultiFileSelection(multiple);
  return selector;
}

std::string chosen(CNewFileSelector& selector) {
  std::string files;
  for (int32_t i = 0; i < selector.getNumSelectedFiles(); ++i)
    files += std::string(i ? "|" : "") + selector.getSelectedFile(static_cast<uint32_t>(i));
  return files;
}

}  // namespace

// The load dialog asks for one file; only a selector told to allow several asks for more.
TEST(CNewFileSelector, EachProgramGetsItsOwnArgumentsAndOneFileIsAskedFor) {
  using S = CNewFileSelector;
  // The program, the dialog, several files allowed, the folder; the arguments after the program.
  const std::tuple<const char*, S::Style, bool, const char*, const char*> rows[] = {
      {"/usr/bin/zenity", S::kSelectFile, false, "/u/p",
       "--file-selection|--title=Save|--filename=/u/p/|--file-filter=Preset | *.zal|"
       "--file-filter=All files | *"},
      {"zenity", S::kSelectFile, true, "",
       "--file-selection|--title=Save|--multiple|--separator=\n|--file-filter=Preset | *.zal|"
       "--file-filter=All files | *"},
      {"zenity", S::kSelectSaveFile, true, "/u/p/",
       "--file-selection|--title=Save|--save|--confirm-overwrite|--filename=/u/p/Preset 1.zal|"
       "--file-filter=Preset | *.zal|--file-filter=All files | *"},
      {"/opt/kde/kdialog", S::kSelectFile, false, "/u/p",
       "--title|Save|--getopenfilename|/u/p/|*.zal|Preset"},
      {"kdialog", S::kSelectFile, true, "",
       "--title|Save|--getopenfilename|--multiple|--separate-output|.|*.zal|Preset"},
      {"kdialog", S::kSelectSaveFile, true, "/p",
       "--title|Save|--getsavefilename|/p/Preset 1.zal|*.zal|Preset"},
  };
  for (const auto& [program, style, multiple, dir, expected] : rows) {
    std::string args;
    for (const std::string& arg : presetDialog(style, dir, multiple)->buildArguments(program))
      args += (args.empty() ? "" : "|") + arg;
    EXPECT_EQ(args, std::string(program) + "|" + expected);
  }
}

// What the program prints decides the choice; anything doubtful chooses nothing.
TEST(CNewFileSelector, OnlyAClearAnswerIsAChoice) {
  // The answer printed, the exit status, several files allowed; the files chosen.
  const std::tuple<const char*, int, bool, const char*> rows[] = {
      {"/a/b.zal\r\n", 0, false, "/a/b.zal"},
      {"/a/b.zal", 0, false, "/a/b.zal"},
      {"", 1, false, ""},                  // cancelled
      {"/a/b.zal\n", 1, false, ""},        // status 1 is a cancel whatever it printed
      {"/a/one\n/a/two\n", 0, false, ""},  // a name with a line break is no choice
      {"/a/one\n/a/two\n", 0, true, "/a/one|/a/two"},
      {"Gtk-WARNING\n/a/b.zal\n", 0, true, ""},  // chatter is not a path
      {"Gtk-Message: theme /usr/share\n", 0, false, ""},
  };
  for (const auto& [answer, status, multiple, files] : rows) {
    FakeDialog dialog("zenity", answer, status);
    auto selector = presetDialog(CNewFileSelector::kSelectFile, "/a", multiple);
    EXPECT_EQ(selector->runModal(), files[0] != 0) << answer;
    EXPECT_EQ(chosen(*selector), files) << answer;
  }
  CNewFileSelector::setDialogProgram("/nonexistent/zenity");
  EXPECT_FALSE(presetDialog(CNewFileSelector::kSelectFile, "/a")->runModal());
  CNewFileSelector::setDialogProgram(nullptr);
}

// The dialogs confirm overwriting the name as typed. When the added extension makes it name
// an existing file, the same program asks about that file, and only a yes keeps the choice.
TEST(CNewFileSelector, ReplacingAFileTheDialogDidNotNameIsAskedFirst) {
  // The program, the name typed, the answer to the question; the file chosen ("" for none).
  const std::tuple<const char*, const char*, int, const char*> rows[] = {
      {"zenity", "Foo", 1, ""},
      {"zenity", "Foo", 0, "Foo.zal"},
      {"kdialog", "Foo", 1, ""},
      {"zenity", "Foo.ZAL", 1, "Foo.ZAL"},  // not asked: the dialog named it
      {"zenity", "New", 1, "New.zal"}};     // not asked: nothing to replace
  for (const auto& [program, typed, reply, file] : rows) {
    SCOPED_TRACE(std::string(program) + " " + typed + " " + std::to_string(reply));
    TempDir files;
    std::ofstream(files.dir() + "Foo.zal") << "kept";
    FakeDialog dialog(program, files.dir() + typed + "\n", 0, reply);
    auto selector = presetDialog(CNewFileSelector::kSelectSaveFile, "/a");
    EXPECT_EQ(selector->runModal(), file[0] != 0);
    EXPECT_EQ(chosen(*selector), file[0] ? files.dir() + file : "");
    const std::string question = "A file named \"Foo.zal\" already exists in \"" + files.dir() +
                                 "\".\nDo you want to replace it?";
    EXPECT_EQ(dialog.read("question"),
              std::string(typed) != "Foo" ? ""
              : std::string(program) == "kdialog"
                  ? "--title\nSave\n--warningyesno\n" + question +
                        "\n--yes-label\nReplace\n--no-label\nCancel\n"
                  : "--question\n--title=Save\n--no-markup\n--text=" + question +
                        "\n--ok-label=Replace\n--cancel-label=Cancel\n");
  }
}

// The program is the one set, else VELTRANE_DIALOG_PROGRAM when it is an absolute path to an
// executable, else the desktop's.
TEST(CNewFileSelector, TheProgramIsTheOneSetThenTheNamedOneThenTheDesktops) {
  FakeDialog dialog("stand-in", "");
  setenv("VELTRANE_DIALOG_PROGRAM", dialog.program.c_str(), 1);
  CNewFileSelector::setDialogProgram("/explicit/zenity");
  EXPECT_EQ(CNewFileSelector::getDialogProgram(), "/explicit/zenity");
  CNewFileSelector::setDialogProgram(nullptr);
  EXPECT_EQ(CNewFileSelector::getDialogProgram(), dialog.program);
  for (const std::string& ignored :
       {std::string("stand-in"), dialog.dir + "answer", dialog.dir + "absent"}) {
    setenv("VELTRANE_DIALOG_PROGRAM", ignored.c_str(), 1);
    EXPECT_NE(CNewFileSelector::getDialogProgram(), ignored);
  }
  unsetenv("VELTRANE_DIALOG_PROGRAM");
}
