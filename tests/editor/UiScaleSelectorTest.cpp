// Where the editor's scale factor comes from: the first source with a usable value, bad values
// passed over with a line each.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <string>

#include "editor/UiScaleSelector.h"
#include "platform/PreferenceStore.h"
#include "tests/support/TempDir.h"

namespace {

using Text = std::optional<std::string>;

struct Sources {
  Text override;  // VELTRANE_UI_SCALE
  Text stored;    // the UIScale preference
  std::optional<double> host;
  Text gdk;  // GDK_SCALE
  Text dpi;  // Xft.dpi
};

struct Case {
  const char* what;
  Sources sources;
  double factor;
  const char* source;
  size_t warnings;
};

class UiScaleSelectorTest : public testing::Test {
 protected:
  TempDir config;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};
  PreferenceStore preferences;
  UiScaleSelector selector{preferences};
  int dpiReads = 0;

  void use(const Sources& s) {
    if (s.stored)
      preferences.setText(UiScaleSelector::kPreferenceKey, *s.stored);
    else
      preferences.remove(UiScaleSelector::kPreferenceKey);
    selector.setHostFactor(s.host);
    const std::map<std::string, Text> environment{{"VELTRANE_UI_SCALE", s.override},
                                                  {"GDK_SCALE", s.gdk}};
    selector.setEnvironmentReader([environment](const char* name) -> Text {
      const auto found = environment.find(name);
      return found == environment.end() ? std::nullopt : found->second;
    });
    selector.setDpiReader([this, dpi = s.dpi] {
      ++dpiReads;
      return dpi;
    });
  }
};

TEST_F(UiScaleSelectorTest, TheFirstUsableSourceDecides) {
  const double nan = std::nan("");
  const Case cases[] = {
      {"nothing set", {}, 1.0, "default", 0},
      {"override first", {"2", "1", 1.0, "1", "96"}, 2.0, "VELTRANE_UI_SCALE", 0},
      {"override 1.5 with spaces", {" 1.5 ", {}, {}, {}, {}}, 1.5, "VELTRANE_UI_SCALE", 0},
      {"bad override, stored choice", {"3", "1.5", 2.0, {}, {}}, 1.5, "preference", 1},
      {"stored choice before the host", {{}, "1", 2.0, "2", "192"}, 1.0, "preference", 0},
      {"bad override and stored value", {"1.5x", "0.75", 2.0, {}, {}}, 2.0, "host", 2},
      {"host 1.25 rounds up", {{}, {}, 1.25, "1", {}}, 1.5, "host", 0},
      {"host factor unusable", {{}, {}, nan, "2", {}}, 2.0, "GDK_SCALE", 1},
      {"host factor zero", {{}, {}, 0.0, {}, "144"}, 1.5, "Xft.dpi", 1},
      {"GDK_SCALE 3 is the nearest, 2", {{}, {}, {}, "3", {}}, 2.0, "GDK_SCALE", 0},
      {"GDK_SCALE is whole", {{}, {}, {}, "1.5", "144"}, 1.5, "Xft.dpi", 1},
      {"GDK_SCALE 0", {{}, {}, {}, "0", {}}, 1.0, "default", 1},
      {"96 dpi", {{}, {}, {}, {}, "96"}, 1.0, "Xft.dpi", 0},
      {"192 dpi", {{}, {}, {}, {}, "192"}, 2.0, "Xft.dpi", 0},
      {"120 dpi, halfway, goes up", {{}, {}, {}, {}, "120"}, 1.5, "Xft.dpi", 0},
      {"110 dpi", {{}, {}, {}, {}, "110"}, 1.0, "Xft.dpi", 0},
      {"400 dpi", {{}, {}, {}, {}, "400"}, 2.0, "Xft.dpi", 0},
      {"dpi not a number", {{}, {}, {}, {}, "high"}, 1.0, "default", 1},
      {"dpi negative", {{}, {}, {}, {}, "-96"}, 1.0, "default", 1},
      {"everything bad", {"0", "x", -1.0, "two", "1e9"}, 1.0, "default", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    use(c.sources);
    const UiScaleSelector::Choice choice = selector.choose();
    EXPECT_EQ(choice.factor, c.factor);
    EXPECT_EQ(choice.source, c.source);
    EXPECT_EQ(choice.warnings.size(), c.warnings);
  }
}

TEST_F(UiScaleSelectorTest, TheDisplayIsAskedOnlyWhenNeededAndThenOnce) {
  use({"2", {}, {}, {}, "192"});
  selector.choose();
  EXPECT_EQ(dpiReads, 0) << "the override decided";
  use({{}, {}, {}, {}, "192"});
  selector.choose();
  selector.choose();
  EXPECT_EQ(dpiReads, 1);
}

TEST_F(UiScaleSelectorTest, TheStoredChoiceIsKeptAsTextAndAutomaticRemovesIt) {
  use({});
  for (double factor : UiScaleSelector::kFactors) {
    ASSERT_TRUE(selector.storeChoice(factor));
    EXPECT_EQ(PreferenceStore().getText("UIScale"), UiScaleSelector::factorText(factor));
    EXPECT_EQ(selector.storedChoice(), factor);
    EXPECT_EQ(selector.choose().factor, factor);
  }
  ASSERT_TRUE(selector.storeChoice(std::nullopt));
  EXPECT_FALSE(PreferenceStore().getText("UIScale"));
  EXPECT_FALSE(selector.storedChoice());
  preferences.setText("UIScale", "2.5");
  EXPECT_FALSE(selector.storedChoice()) << "a value not offered counts as none";
}

}  // namespace
