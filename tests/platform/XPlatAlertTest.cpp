#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/XPlatAlert.h"
#include "tests/support/TempDir.h"

namespace {

// A stand-in dialog that records its arguments and environment instead of showing anything.
std::string writeRecorder(const TempDir& temp) {
  std::string script = temp.dir() + "dialog";
  std::ofstream(script) << "#!/bin/sh\n"
                        << "for a in \"$@\"; do printf '%s|' \"$a\"; done > '" << temp.dir()
                        << "args'\n"
                        << "printf '%s' \"${LD_LIBRARY_PATH-unset}\" > '" << temp.dir() << "env'\n";
  chmod(script.c_str(), 0755);
  return script;
}

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

struct AlertProgramReset {
  ~AlertProgramReset() { XPlatSetAlertProgram(std::nullopt); }
};

}  // namespace

TEST(XPlatAlert, MessageReachesDialogVerbatimWithoutAShell) {
  TempDir temp;
  AlertProgramReset reset;
  ScopedEnv libraryPath("LD_LIBRARY_PATH", "/opt/host/lib");
  const std::string message =
      "Could not open manual file:\n~/\"$(touch " + temp.dir() + "pwned)\"; `id`";
  struct Case {
    AlertProgramKind kind;
    std::string expectedArgs;
  } cases[] = {
      {AlertProgramKind::Zenity,
       "--warning|--title=Veltrane|--no-markup|--text=" + message + "|--ok-label=OK|"},
      {AlertProgramKind::Kdialog, "--title|Veltrane|--sorry|" + message + "|"},
  };
  for (const auto& c : cases) {
    XPlatSetAlertProgram(AlertProgram{writeRecorder(temp), c.kind});
    testing::internal::CaptureStderr();
    XPlatDisplayAlert(message.c_str());
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, errors.find(message + "\n"));  // standard error always has it
    EXPECT_EQ(c.expectedArgs, slurp(temp.path() / "args"));
    EXPECT_EQ("unset", slurp(temp.path() / "env"));
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "pwned"));
  }
}

TEST(XPlatAlert, MissingProgramIsReportedNotFatal) {
  AlertProgramReset reset;
  XPlatSetAlertProgram(AlertProgram{"/nonexistent/zenity", AlertProgramKind::Zenity});
  testing::internal::CaptureStderr();
  XPlatDisplayAlert("still shown on stderr");
  std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(0u, errors.find("still shown on stderr\n"));
}

TEST(XPlatAlert, NonAsciiAndLeadingDashAreMadeHarmless) {
  AlertProgram kdialog{"/usr/bin/kdialog", AlertProgramKind::Kdialog};
  EXPECT_EQ(" --help", alertArguments(kdialog, "--help").back());
  testing::internal::CaptureStderr();
  ScopedEnv display("DISPLAY", nullptr);
  XPlatDisplayAlert("caf\xc3\xa9\x07");
  EXPECT_EQ("caf???\n", testing::internal::GetCapturedStderr());
}
