#include "EditorOptions.h"

#include <cmath>

#include "OptionWords.h"

namespace {

constexpr double kLongestRunSeconds = 24.0 * 3600.0;
constexpr double kLargestParameterIndex = 1 << 16;

}  // namespace

bool parseEditorOptions(const std::vector<std::string>& words, EditorOptions& options,
                        std::string& error) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    auto argument = [&](std::string& value) { return takeOptionValue(words, i, value, error); };
    std::string value;
    if (word == "--seconds") {
      if (!argument(value)) return false;
      double seconds = 0.0;
      if (!parseWholeNumber(value, seconds) || !std::isfinite(seconds) || seconds < 0.0 ||
          seconds > kLongestRunSeconds) {
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
    } else if (word == "--automate") {
      if (!argument(value)) return false;
      double index = 0.0;
      if (!parseWholeNumber(value, index) || index < 0.0 || index > kLargestParameterIndex) {
        error = "--automate takes a parameter number, not \"" + value + "\"";
        return false;
      }
      options.automate = static_cast<int>(index);
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
