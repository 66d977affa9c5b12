#include "editor/UiScaleSelector.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "gui/IPlatformFrame.h"
#include "platform/PreferenceStore.h"

namespace {

constexpr double kBaseDpi = 96.0;
// Beyond these a desktop value is a mistake rather than a very dense or sparse screen.
constexpr double kLargestDesktopScale = 16.0;
constexpr double kLargestDpi = kBaseDpi * kLargestDesktopScale;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The whole text as one number, and nothing else.
std::optional<double> parseNumber(std::string_view text) {
  text = trimmed(text);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::string refused(const std::string& what, std::string_view value, const char* expected) {
  return "Veltrane: " + what + " \"" + std::string(value) + "\" is not " + expected + "; ignored";
}

}  // namespace

UiScaleSelector::UiScaleSelector(PreferenceStore& store)
    : preferences(store),
      environment([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') return std::nullopt;
        return std::string(value);
      }),
      dpiReader([] { return readDisplayResource("Xft.dpi"); }) {}

void UiScaleSelector::setDpiReader(DpiReader reader) {
  dpiReader = std::move(reader);
  dpiCache.reset();
}

std::optional<double> UiScaleSelector::parseFactor(std::string_view text) {
  const std::optional<double> value = parseNumber(text);
  if (!value) return std::nullopt;
  for (double factor : kFactors)
    if (*value == factor) return factor;
  return std::nullopt;
}

double UiScaleSelector::nearestFactor(double scale) {
  double best = kFactors.front();
  for (double factor : kFactors)
    if (std::fabs(scale - factor) <= std::fabs(scale - best)) best = factor;
  return best;
}

std::string UiScaleSelector::factorText(double factor) {
  return factor == 1.5 ? "1.5" : std::to_string(static_cast<int>(factor));
}

std::optional<double> UiScaleSelector::readStoredChoice(std::vector<std::string>* warnings) const {
  const std::optional<std::string> stored = preferences.getText(kPreferenceKey);
  if (!stored) return std::nullopt;
  const std::optional<double> factor = parseFactor(*stored);
  if (!factor && warnings != nullptr)
    warnings->push_back(refused("stored UIScale", *stored, "1, 1.5 or 2"));
  return factor;
}

std::optional<double> UiScaleSelector::storedChoice() const { return readStoredChoice(nullptr); }

bool UiScaleSelector::storeChoice(std::optional<double> factor) {
  if (!factor) return preferences.remove(kPreferenceKey);
  return preferences.setText(kPreferenceKey, factorText(*factor));
}

UiScaleSelector::Choice UiScaleSelector::choose() const {
  Choice choice;
  auto decide = [&choice](double factor, const char* source) {
    choice.factor = factor;
    choice.source = source;
    return choice;
  };

  if (const auto text = environment(kOverrideVariable)) {
    if (const auto factor = parseFactor(*text)) return decide(*factor, kOverrideVariable);
    choice.warnings.push_back(refused(kOverrideVariable, *text, "1, 1.5 or 2"));
  }
  if (const auto factor = readStoredChoice(&choice.warnings)) return decide(*factor, "preference");
  if (hostFactor) {
    if (std::isfinite(*hostFactor) && *hostFactor > 0.0 && *hostFactor <= kLargestDesktopScale)
      return decide(nearestFactor(*hostFactor), "host");
    choice.warnings.push_back(
        refused("the host's scale factor", std::to_string(*hostFactor), "a screen scale"));
  }
  if (const auto text = environment("GDK_SCALE")) {
    const auto scale = parseNumber(*text);
    if (scale && *scale >= 1.0 && *scale <= kLargestDesktopScale && *scale == std::trunc(*scale))
      return decide(nearestFactor(*scale), "GDK_SCALE");
    choice.warnings.push_back(refused("GDK_SCALE", *text, "a whole number from 1 to 16"));
  }
  if (!dpiCache) dpiCache = dpiReader ? dpiReader() : std::nullopt;
  if (const std::optional<std::string>& text = *dpiCache) {
    const auto dpi = parseNumber(*text);
    if (dpi && *dpi > 0.0 && *dpi <= kLargestDpi)
      return decide(nearestFactor(*dpi / kBaseDpi), "Xft.dpi");
    choice.warnings.push_back(refused("Xft.dpi", *text, "a resolution in dots per inch"));
  }
  return choice;
}
