#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What the commands' option parsers share: taking an option's value from the next word, and
// reading a number that must fill the whole word.
bool takeOptionValue(const std::vector<std::string>& words, std::size_t& i, std::string& value,
                     std::string& error);
bool parseWholeNumber(const std::string& text, double& value);
