#include "platform/XPlatAlert.h"

#include "platform/SpawnChild.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex overrideMutex;
std::optional<AlertProgram> programOverride;

std::optional<AlertProgram> findProgram() {
  {
    std::lock_guard<std::mutex> lock(overrideMutex);
    if (programOverride) return programOverride;
  }
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || display[0] == '\0') return std::nullopt;
  const char* pathVariable = std::getenv("PATH");
  std::string searchPath =
      (pathVariable != nullptr && pathVariable[0] != '\0') ? pathVariable : "/usr/bin:/bin";
  const std::pair<const char*, AlertProgramKind> candidates[] = {
      {"zenity", AlertProgramKind::Zenity}, {"kdialog", AlertProgramKind::Kdialog}};
  for (const auto& [name, kind] : candidates) {
    std::size_t start = 0;
    while (start <= searchPath.size()) {
      std::size_t end = searchPath.find(':', start);
      if (end == std::string::npos) end = searchPath.size();
      std::string folder = searchPath.substr(start, end - start);
      start = end + 1;
      // Relative entries would make the program depend on the host's working folder.
      if (folder.empty() || folder[0] != '/') continue;
      std::string candidate = folder + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return AlertProgram{candidate, kind};
    }
  }
  return std::nullopt;
}

// The message is taken as ASCII; anything else becomes "?" so the dialog's UTF-8 handling
// cannot refuse it.
std::string asciiOnly(const char* text) {
  std::string result(text);
  for (char& c : result) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || (byte < 0x20 && c != '\n' && c != '\t')) c = '?';
  }
  return result;
}

void runDialog(const AlertProgram& program, const std::string& text) {
  pid_t child = 0;
  if (spawnChild(alertArguments(program, text), SpawnChildOptions{}, child) != 0) return;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::vector<std::string> alertArguments(const AlertProgram& program, const std::string& text) {
  if (program.kind == AlertProgramKind::Kdialog) {
    // A message starting with "-" would otherwise be read as an option.
    std::string message = (!text.empty() && text[0] == '-') ? " " + text : text;
    return {program.path, "--title", "Veltrane", "--sorry", message};
  }
  // --no-markup: the message is shown as written, not read as markup.
  return {program.path,  "--warning",      "--title=Veltrane",
          "--no-markup", "--text=" + text, "--ok-label=OK"};
}

void XPlatSetAlertProgram(std::optional<AlertProgram> program) {
  std::lock_guard<std::mutex> lock(overrideMutex);
  programOverride = std::move(program);
}

void XPlatDisplayAlert(const char* text) {
  std::string message = asciiOnly(text != nullptr ? text : "");
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  if (auto program = findProgram()) runDialog(*program, message);
}
