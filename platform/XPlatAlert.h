#pragma once

// A modal warning for the user. The message always goes to standard error (hosts started
// from a terminal, logs); when a desktop dialog program and a display are available the
// message is also shown in a warning dialog, and the call returns once it is dismissed.

#include <optional>
#include <string>
#include <vector>

enum class AlertProgramKind { Zenity, Kdialog };

struct AlertProgram {
  std::string path;  // absolute path of the program to spawn
  AlertProgramKind kind;
};

void XPlatDisplayAlert(const char* text);

// Replaces the dialog program (tests); nullopt returns to searching PATH for zenity,
// then kdialog. An override is used whether or not a display is present.
void XPlatSetAlertProgram(std::optional<AlertProgram> program);

// The argument vector the dialog is started with (argv[0] included).
std::vector<std::string> alertArguments(const AlertProgram& program, const std::string& text);
