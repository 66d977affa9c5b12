#include "RenderOptions.h"

#include "OptionWords.h"

bool parseRenderOptions(const std::vector<std::string>& words, RenderOptions& options,
                        std::string& error) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    auto argument = [&](std::string& value) { return takeOptionValue(words, i, value, error); };
    std::string value;
    if (word == "--rate") {
      double rate = 0.0;
      if (!argument(value)) return false;
      if (!parseWholeNumber(value, rate) || rate < 8000.0 || rate > 768000.0) {
        error = "--rate takes a sample rate from 8000 to 768000 Hz, not \"" + value + "\"";
        return false;
      }
      options.rate = rate;
      options.rateGiven = true;
    } else if (word == "--block") {
      double block = 0.0;
      if (!argument(value)) return false;
      if (!parseWholeNumber(value, block) || block < 1 || block > 65536 ||
          block != static_cast<int>(block)) {
        error = "--block takes a whole number of frames from 1 to 65536, not \"" + value + "\"";
        return false;
      }
      options.block = static_cast<int>(block);
    } else if (word == "--double") {
      options.useDouble = true;
    } else if (word == "--mono") {
      options.mono = true;
    } else if (word == "--set") {
      if (!argument(value)) return false;
      const auto equals = value.find('=');
      if (equals == std::string::npos || equals == 0) {
        error = "--set takes NAME=VALUE, not \"" + value + "\"";
        return false;
      }
      options.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (word == "--preset") {
      if (!argument(options.preset)) return false;
    } else if (word.size() > 1 && word[0] == '-' && word[1] == '-') {
      error = "unknown option " + word;
      return false;
    } else {
      positional.push_back(word);
    }
  }
  if (positional.size() < 2 || positional.size() > 3) {
    error = "render needs PLUGIN.so, an optional input file and OUT";
    return false;
  }
  options.plugin = positional[0];
  if (positional.size() == 3) options.input = positional[1];
  options.output = positional.back();
  if (options.rateGiven && !options.input.empty()) {
    error = "--rate sets the demo signal's rate; an input file plays at its own";
    return false;
  }
  return true;
}
