#include "validate/ValidateOptions.h"

#include <cmath>
#include <sstream>

#include "OptionWords.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kLongestSeconds = 3600.0;

bool parseSeconds(const std::string& option, const std::string& value, double least,
                  double& seconds, std::string& error) {
  double parsed = 0.0;
  if (!parseWholeNumber(value, parsed) || !std::isfinite(parsed) || parsed < least ||
      parsed > kLongestSeconds) {
    std::ostringstream message;
    message << option << " takes a time from " << least << " to 3600 seconds, not \"" << value
            << "\"";
    error = message.str();
    return false;
  }
  seconds = parsed;
  return true;
}

bool parseCheckNames(const std::string& value, std::vector<std::string>& names,
                     std::string& error) {
  std::istringstream list(value);
  for (std::string name; std::getline(list, name, ',');) {
    if (!findCheck(name)) {
      error = "--only: there is no check \"" + name + "\" (checks: " + checkNames() + ")";
      return false;
    }
    names.push_back(name);
  }
  if (names.empty()) {
    error = "--only needs at least one check name (checks: " + checkNames() + ")";
    return false;
  }
  return true;
}

}  // namespace

bool parseValidateOptions(const std::vector<std::string>& words, ValidateOptions& options,
                          std::string& error) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    std::string value;
    const bool takesValue =
        word == "--seconds" || word == "--seed" || word == "--timeout" || word == "--only";
    if (takesValue && !takeOptionValue(words, i, value, error)) return false;
    if (word == "--seconds") {
      if (!parseSeconds(word, value, 0.1, options.seconds, error)) return false;
    } else if (word == "--timeout") {
      if (!parseSeconds(word, value, 1.0, options.timeout, error)) return false;
    } else if (word == "--seed") {
      double seed = 0.0;
      if (!parseWholeNumber(value, seed) || seed < 0 || seed > 4294967295.0 ||
          seed != std::floor(seed)) {
        error = "--seed takes a whole number from 0 to 4294967295, not \"" + value + "\"";
        return false;
      }
      options.seed = static_cast<unsigned>(seed);
    } else if (word == "--only") {
      if (!parseCheckNames(value, options.only, error)) return false;
    } else if (word.size() > 1 && word[0] == '-') {
      error = "unknown option " + word;
      return false;
    } else {
      positional.push_back(word);
    }
  }
  if (positional.size() != 1) {
    error = "validate needs exactly one PLUGIN.so";
    return false;
  }
  options.plugin = positional[0];
  return true;
}
