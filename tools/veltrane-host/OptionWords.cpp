#include "OptionWords.h"

#include <cerrno>
#include <cstdlib>

bool takeOptionValue(const std::vector<std::string>& words, std::size_t& i, std::string& value,
                     std::string& error) {
  if (i + 1 >= words.size()) {
    error = words[i] + " needs a value";
    return false;
  }
  value = words[++i];
  return true;
}

bool parseWholeNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size();
}
