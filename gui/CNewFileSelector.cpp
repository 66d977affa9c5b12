#include "gui/CNewFileSelector.h"

#include "gui/x11/DialogProcess.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>

namespace {

std::string gProgramOverride;

bool isExecutable(const char* path) { return access(path, X_OK) == 0; }

// Lets a user (or a test) name the dialog program without touching the desktop's: an
// absolute path to an executable, called with zenity's arguments unless named "kdialog".
constexpr const char* kProgramVariable = "VELTRANE_DIALOG_PROGRAM";

std::string automaticProgram() {
  const char* forced = std::getenv(kProgramVariable);
  if (forced && forced[0] == '/' && isExecutable(forced)) return forced;
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const bool kde = desktop && std::strstr(desktop, "KDE");
  if (kde && isExecutable("/usr/bin/kdialog")) return "/usr/bin/kdialog";
  if (isExecutable("/usr/bin/zenity")) return "/usr/bin/zenity";
  if (isExecutable("/usr/bin/kdialog")) return "/usr/bin/kdialog";
  return {};
}

// True when the file name already ends in ".extension" (in any case). Any other dot is part
// of the name ("Vocal v1.2"), and the file would not show under its type's filter.
bool hasExtension(const std::string& path, const char* extension) {
  const std::string suffix = std::string(".") + extension;
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (path.size() <= nameStart + suffix.size()) return false;
  return strcasecmp(path.c_str() + path.size() - suffix.size(), suffix.c_str()) == 0;
}

// kdialog has a syntax of its own; any other program is taken to speak zenity's.
bool isKdialog(const std::string& program) {
  const size_t slash = program.rfind('/');
  return program.find("kdialog", slash == std::string::npos ? 0 : slash) != std::string::npos;
}

}  // namespace

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style) {
  return new CNewFileSelector(parent, style);
}

CNewFileSelector::CNewFileSelector(CFrame* f, Style s) : frame(f), style(s) {}

CNewFileSelector::~CNewFileSelector() = default;

void CNewFileSelector::setDialogProgram(const char* path) { gProgramOverride = path ? path : ""; }

std::string CNewFileSelector::getDialogProgram() {
  return gProgramOverride.empty() ? automaticProgram() : gProgramOverride;
}

void CNewFileSelector::setDefaultExtension(const CFileExtension& e) {
  defaultExtension = std::make_unique<CFileExtension>(e);
}

const char* CNewFileSelector::getSelectedFile(uint32_t index) const {
  return index < result.size() ? result[index].c_str() : nullptr;
}

std::vector<std::string> CNewFileSelector::buildArguments(const std::string& program) const {
  std::vector<std::string> args{program};
  const bool kdialog = isKdialog(program);
  std::string start = initialDirectory;
  if (!start.empty() && start.back() != '/') start += '/';
  if (style == kSelectSaveFile) start += defaultSaveName;

  if (kdialog) {
    if (!title.empty()) {
      args.push_back("--title");
      args.push_back(title);
    }
    args.push_back(style == kSelectSaveFile ? "--getsavefilename" : "--getopenfilename");
    if (allowMultiple && style == kSelectFile) {
      args.push_back("--multiple");
      args.push_back("--separate-output");
    }
    args.push_back(start.empty() ? "." : start);
    if (!extensions.empty()) {
      std::string filter;
      for (const CFileExtension& e : extensions) {
        if (!filter.empty()) filter += '\n';
        filter += std::string("*.") + e.getExtension() + "|" + e.getDescription();
      }
      args.push_back(filter);
    }
    return args;
  }

  args.push_back("--file-selection");
  if (!title.empty()) args.push_back("--title=" + title);
  if (style == kSelectSaveFile) {
    args.push_back("--save");
    args.push_back("--confirm-overwrite");
  } else if (allowMultiple) {
    args.push_back("--multiple");
    args.push_back("--separator=\n");
  }
  if (!start.empty()) args.push_back("--filename=" + start);
  if (!extensions.empty()) {
    for (const CFileExtension& e : extensions)
      args.push_back(std::string("--file-filter=") + e.getDescription() + " | *." +
                     e.getExtension());
    args.push_back("--file-filter=All files | *");
  }
  return args;
}

std::vector<std::string> CNewFileSelector::buildOverwriteQuestion(const std::string& program,
                                                                  const std::string& path) const {
  const size_t slash = path.rfind('/');
  const std::string name = path.substr(slash + 1);
  const std::string folder = path.substr(0, slash + 1);
  const std::string question = "A file named \"" + name + "\" already exists in \"" + folder +
                               "\".\nDo you want to replace it?";
  if (isKdialog(program))
    return {program,       "--title", title,        "--warningyesno", question,
            "--yes-label", "Replace", "--no-label", "Cancel"};
  return {program,
          "--question",
          "--title=" + title,
          "--no-markup",
          "--text=" + question,
          "--ok-label=Replace",
          "--cancel-label=Cancel"};
}

bool CNewFileSelector::start() {
  result.clear();
  const std::string program = getDialogProgram();
  if (program.empty()) return false;
  process = std::make_unique<DialogProcess>();
  if (!process->start(buildArguments(program))) {
    process.reset();
    return false;
  }
  asking = false;
  return true;
}

bool CNewFileSelector::settle() {
  if (!process->poll()) return false;
  if (asking) {
    // Only a clear yes replaces the file; a closed or failed question keeps it.
    if (process->getExitStatus() != 0) result.clear();
    asking = false;
    process.reset();
    return true;
  }
  parseOutput(process->getOutput(), process->getExitStatus());
  process.reset();
  // The dialog confirmed the name as typed; when the extension made it name a file that
  // exists, that file is what would be replaced, and the user has not been asked about it.
  if (completedName && result.size() == 1 && access(result[0].c_str(), F_OK) == 0) {
    process = std::make_unique<DialogProcess>();
    if (process->start(buildOverwriteQuestion(getDialogProgram(), result[0]))) {
      asking = true;
      return false;
    }
    process.reset();
    result.clear();
  }
  return true;
}

void CNewFileSelector::parseOutput(const std::string& output, int exitStatus) {
  result.clear();
  completedName = false;
  // Status 1 is a cancel; an unknown status (reaped elsewhere) is judged by the output.
  if (exitStatus != 0 && exitStatus != -1) return;
  size_t begin = 0;
  while (begin < output.size()) {
    size_t end = output.find('\n', begin);
    if (end == std::string::npos) end = output.size();
    std::string path = output.substr(begin, end - begin);
    if (!path.empty() && path.back() == '\r') path.pop_back();
    // The dialogs print absolute paths; anything else is not a choice (a chatty program).
    if (!path.empty() && path[0] != '/') {
      result.clear();
      return;
    }
    if (!path.empty()) {
      // The desktop dialogs do not add the file type's extension the way the user expects.
      if (style == kSelectSaveFile && defaultExtension &&
          !hasExtension(path, defaultExtension->getExtension())) {
        path += std::string(".") + defaultExtension->getExtension();
        completedName = true;
      }
      result.push_back(path);
    }
    begin = end + 1;
  }
  // One file was asked for: several lines are a name with a line break in it (or noise), and
  // its first line would name another file, perhaps one the user never meant to overwrite.
  if (!allowMultiple && result.size() > 1) result.clear();
}

bool CNewFileSelector::runModal() {
  if (!start()) return false;
  while (!settle()) {
    if (frame && frame->getPlatformFrame()) frame->getPlatformFrame()->serviceWhileBlocked();
    usleep(20000);
  }
  return !result.empty();
}
