#include "EditorOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kLongestRunSeconds = 24.0 * 3600.0;

}  // namespace

bool parseEditorOptions(const std::vector<std::string>& words, EditorOptions& options,
                        std::string& error) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    auto argument = [&](std::string& value) {
      if (i + 1 >= words.size()) {
        error = word + " needs a value";
        return false;
      }
      value = words[++i];
      return true;
    };
    std::string value;
    if (word == "--seconds") {
      if (!argument(value)) return false;
      char* end = nullptr;
      errno = 0;
      const double seconds = std::strtod(value.c_str(), &end);
      if (value.empty() || errno != 0 || end != value.c_str() + value.size() ||
          !std::isfinite(seconds) || seconds < 0.0 || seconds > kLongestRunSeconds) {
        error = "--seconds takes a time from 0 to 86400 seconds, not \"" + value + "\"";
        return false;
      }
      options.seconds = seconds;
    } else if (word == "--screenshot") {
      if (!argument(options.screenshot)) return false;
      if (options.screenshot.empty()) {
        error = "--screenshot needs a file name";
        return false;
      }
    } else if (word == "--no-audio") {
      options.audio = false;
    } else if (word == "--clip") {
      options.clip = true;
    } else if (word == "--print-parameters") {
      options.printParameters = true;
    } else if (word.size() > 1 && word[0] == '-') {
      error = "unknown option " + word;
      return false;
    } else {
      positional.push_back(word);
    }
  }
  if (positional.size() != 1) {
    error = "editor needs exactly one PLUGIN.so";
    return false;
  }
  if (options.clip && !options.audio) {
    error = "--clip plays audio; it cannot go with --no-audio";
    return false;
  }
  options.plugin = positional[0];
  return true;
}
