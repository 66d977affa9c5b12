#pragma once

// How large the editor is drawn: 1, 1.5 or 2 device pixels per layout pixel. The first source
// that gives a usable value decides:
//   1. the VELTRANE_UI_SCALE environment variable (1, 1.5 or 2), an explicit override;
//   2. the user's choice from the window's "Size" menu, kept in the preferences ("UIScale");
//   3. a factor the host passed (an LV2 host's ui:scaleFactor), if the host adapter set one;
//   4. GDK_SCALE, the desktop's whole-number scale;
//   5. the display's Xft.dpi resource, 96 dpi being 1;
//   6. otherwise 1.
// The desktop's values (3 to 5) are rounded to the nearest offered factor. A malformed value,
// or one outside what its source may say, is passed over with one line in the warnings, and the
// next source is asked. Host-independent: a format adapter passes what its host says.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class PreferenceStore;

class UiScaleSelector {
 public:
  // The pictures exist at 1x and 2x; 1.5x draws the 2x ones scaled down.
  static constexpr std::array<double, 3> kFactors{1.0, 1.5, 2.0};
  static constexpr const char* kOverrideVariable = "VELTRANE_UI_SCALE";
  static constexpr const char* kPreferenceKey = "UIScale";

  struct Choice {
    double factor = 1.0;
    // The source that decided: the variable's name, "preference", "host", "Xft.dpi" or "default".
    std::string source = "default";
    // One line (without a line break) per value that was passed over.
    std::vector<std::string> warnings;
  };

  // Reads a variable of the process environment; none when unset or empty.
  using EnvironmentReader = std::function<std::optional<std::string>(const char* name)>;
  // Reads the display's Xft.dpi; none when there is no display or no such resource.
  using DpiReader = std::function<std::optional<std::string>()>;

  // The environment, the given preference store and the display's own resource database.
  explicit UiScaleSelector(PreferenceStore& preferences);

  void setEnvironmentReader(EnvironmentReader reader) { environment = std::move(reader); }
  void setDpiReader(DpiReader reader);
  // What the host said its scale is; none forgets it.
  void setHostFactor(std::optional<double> factor) { hostFactor = factor; }

  Choice choose() const;

  // The user's stored choice, when it is one of the offered factors.
  std::optional<double> storedChoice() const;
  // Stores the user's choice; none ("Automatic") removes it. False when it could not be stored.
  bool storeChoice(std::optional<double> factor);

  // "1", "1.5" or "2" (surrounding spaces allowed); none for anything else.
  static std::optional<double> parseFactor(std::string_view text);
  // The offered factor nearest to a desktop scale; a tie goes to the larger, more legible one.
  static double nearestFactor(double scale);
  // The text of a factor as stored: "1", "1.5", "2".
  static std::string factorText(double factor);

 private:
  std::optional<double> readStoredChoice(std::vector<std::string>* warnings) const;

  PreferenceStore& preferences;
  EnvironmentReader environment;
  DpiReader dpiReader;
  // The display is asked once: a connection to the X server per window opening is too dear.
  mutable std::optional<std::optional<std::string>> dpiCache;
  std::optional<double> hostFactor;
};
