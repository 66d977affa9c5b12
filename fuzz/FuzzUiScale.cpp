// The scale factor's sources on arbitrary text: the override variable, GDK_SCALE and Xft.dpi
// are the input's first three lines (the stored choice, a file, is left out). Whatever they
// say, the choice is one of the offered factors and each refused value gives one warning.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "editor/UiScaleSelector.h"
#include "fuzz/FuzzSupport.h"
#include "platform/PreferenceStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 12) return 0;
  static PreferenceStore* preferences = [] {
    fuzzsupport::usePrivatePreferences();
    return new PreferenceStore();
  }();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::optional<std::string> lines[3];
  for (auto& line : lines) {
    const std::size_t end = std::min(input.find('\n'), input.size());
    if (end > 0) line = std::string(input.substr(0, end));
    input.remove_prefix(std::min(end + 1, input.size()));
  }
  UiScaleSelector selector(*preferences);
  selector.setEnvironmentReader([&](const char* name) {
    return std::string_view(name) == UiScaleSelector::kOverrideVariable ? lines[0] : lines[1];
  });
  selector.setDpiReader([&] { return lines[2]; });
  const UiScaleSelector::Choice choice = selector.choose();
  const auto& offered = UiScaleSelector::kFactors;
  if (std::find(offered.begin(), offered.end(), choice.factor) == offered.end()) std::abort();
  if (choice.warnings.size() > 3) std::abort();
  if (const auto factor = UiScaleSelector::parseFactor(std::string(input)))
    if (std::find(offered.begin(), offered.end(), *factor) == offered.end()) std::abort();
  return 0;
}
