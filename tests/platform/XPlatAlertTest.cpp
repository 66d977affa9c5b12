#include <gtest/gtest.h>

#include "platform/XPlatAlert.h"
#include "tests/platform/StandIn.h"
#include "tests/support/TempDir.h"

TEST(XPlatAlert, TheMessageReachesTheDialogVerbatimWithoutAShellAndStandardErrorMadeHarmless) {
  TempDir temp;
  writeScript(temp.path() / "dialog",
              "for a in \"$@\"; do printf '%s|' \"$a\"; done > '" + temp.dir() + "args'\n");
  const std::string message =
      "Could not open manual file:\n~/\"$(touch " + temp.dir() + "pwned)\"; `id`";
  auto shown = [&](const std::string& program, AlertProgramKind kind) {
    std::filesystem::remove(temp.path() / "args");
    XPlatSetAlertProgram(AlertProgram{program, kind});
    EXPECT_EQ(stderrOf([&] { XPlatDisplayAlert(message.c_str()); }).rfind(message + "\n", 0), 0u);
    return slurp(temp.path() / "args");
  };
  EXPECT_EQ(shown(temp.dir() + "dialog", AlertProgramKind::Zenity),
            "--warning|--title=Veltrane|--no-markup|--text=" + message + "|--ok-label=OK|");
  EXPECT_EQ(shown(temp.dir() + "dialog", AlertProgramKind::Kdialog),
            "--title|Veltrane|--sorry|" + message + "|");
  EXPECT_EQ(shown("/nonexistent/zenity", AlertProgramKind::Zenity), "") << "reported, not fatal";
  EXPECT_FALSE(std::filesystem::exists(temp.path() / "pwned"));
  XPlatSetAlertProgram(std::nullopt);
  // Without an override the first of zenity and kdialog on the path shows it, given a display.
  writeScript(temp.path() / "kdialog", "printf '%s|' \"$@\" > '" + temp.dir() + "args'\n");
  ScopedEnv display("DISPLAY", ":99"), path("PATH", (temp.dir() + ":relative").c_str());
  stderrOf([] { XPlatDisplayAlert("Hello"); });
  EXPECT_EQ(slurp(temp.path() / "args"), "--title|Veltrane|--sorry|Hello|");
  // Without a display only standard error; bytes that are not ASCII text and a leading dash
  // are made harmless.
  EXPECT_EQ(
      " --help",
      alertArguments(AlertProgram{"/usr/bin/kdialog", AlertProgramKind::Kdialog}, "--help").back());
  ScopedEnv noDisplay("DISPLAY", nullptr);
  EXPECT_EQ(stderrOf([] { XPlatDisplayAlert("caf\xc3\xa9\x07\ttab"); }), "caf???\ttab\n");
}
