// The editor at 1x, 1.5x and 2x: the size the host is told, the "Size" menu, its stored choice,
// the resizing of an open window, and the sources of the factor.
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "EditorTestSupport.h"
#include "gui/COptionMenuPopup.h"

using namespace editortest;

namespace {

std::pair<int, int> editorSize(AEffect* e) {
  ERect* rect = nullptr;
  e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0.f);
  return {rect->right - rect->left, rect->bottom - rect->top};
}

// The size of a factor in device pixels.
std::pair<int, int> sizeAt(double factor) {
  return {static_cast<int>(std::ceil(778 * factor)), static_cast<int>(std::ceil(248 * factor))};
}

// The scaled drawing sampled in the middle of each layout pixel against the drawing at 1x: the
// mean difference per channel in 8-bit levels.
double differenceFromLayout(cairo_surface_t* scaled, cairo_surface_t* layout) {
  const double f = cairo_image_surface_get_width(scaled) / 778.0;
  double sum = 0;
  for (int y = 0; y < 248; ++y)
    for (int x = 0; x < 778; ++x)
      for (int shift : {0, 8, 16}) {
        const auto at =
            rgb(scaled, static_cast<int>((x + 0.5) * f), static_cast<int>((y + 0.5) * f));
        sum += std::abs(static_cast<int>((at >> shift) & 0xff) -
                        static_cast<int>((rgb(layout, x, y) >> shift) & 0xff));
      }
  return sum / (3.0 * 778 * 248);
}

class EditorScaleTest : public EditorTest {
 protected:
  // Right-clicks the background and picks an entry of the list that opens (1 "100%", 2 "150%",
  // 3 "200%", 4 "Automatic"), or moves there with the button held and lets go. Where the list
  // was and which entry it offered first.
  std::pair<CPoint, int32_t> chooseSize(int entry, bool held = false) {
    CPoint p(250, 10);
    frame()->onMouseDown(p, CButtonState(kRButton));
    if (!held) frame()->onMouseUp(p, CButtonState(kRButton));
    auto* list = dynamic_cast<COptionMenuPopup*>(frame()->getModalView());
    EXPECT_NE(list, nullptr);
    if (list == nullptr) return {};
    const std::pair<CPoint, int32_t> seen{list->getListRect().getTopLeft(), list->getHoverIndex()};
    CPoint at = list->entryRect(entry).getCenter();
    if (held) frame()->onMouseMoved(at, CButtonState(kRButton));
    if (held) frame()->onMouseUp(at, CButtonState(kRButton));
    if (!held) click(at.x, at.y);
    EXPECT_EQ(frame()->getModalView(), nullptr);
    return seen;
  }
};

TEST_F(EditorScaleTest, TheSizeMenuOpensOnTheBackgroundOnlyAndItsChoiceServesEveryInstance) {
  open();
  click(250, 10);
  EXPECT_EQ(frame()->getModalView(), nullptr) << "only a right-click on the background opens it";
  const auto [listCorner, offered] = chooseSize(3);  // "200%"
  EXPECT_EQ(listCorner, CPoint(250, 10));
  EXPECT_EQ(offered, 4) << "Automatic, as nothing was stored";
  EXPECT_EQ(PreferenceStore().getText("UIScale"), "2");
  editor->idle();
  EXPECT_TRUE(hostRecord().take().empty()) << "this host cannot resize, and hears no gesture";
  EXPECT_EQ(frame()->getScaleFactor(), 1.0);
  EXPECT_EQ(editorSize(effect->getAeffect()), sizeAt(1)) << "the open window";
  editor->close();
  EXPECT_EQ(editorSize(effect->getAeffect()), sizeAt(2)) << "the next opening";
  EXPECT_EQ(editorSize(Veltrane(recordingHost).getAeffect()), sizeAt(2)) << "another instance";
  open();
  EXPECT_EQ(chooseSize(4).second, 3) << "the stored choice is offered";
}

TEST_F(EditorScaleTest, AHostThatCanResizeIsAskedAndTheOpenWindowFollows) {
  hostRecord().canResize = true;
  open();
  editor->idle();
  const CairoSurfacePtr layout(cairo_surface_reference(frame()->getBackBuffer()));
  // The same size again asks nothing; the choice is kept as text, none for "Automatic".
  const struct {
    int entry;
    double factor;
    bool asks;
    const char* stored;
  } choices[] = {{2, 1.5, true, "1.5"},
                 {2, 1.5, false, "1.5"},
                 {4, 1.0, true, nullptr},
                 {3, 2.0, true, "2"},
                 {1, 1.0, true, "1"}};
  for (const auto& c : choices) {
    chooseSize(c.entry, c.entry == 3);  // 200% with the button held
    editor->idle();
    const auto [w, h] = sizeAt(c.factor);
    const std::vector<HostCall> asked{{audioMasterSizeWindow, w, static_cast<float>(h)}};
    EXPECT_EQ(hostRecord().take(), c.asks ? asked : std::vector<HostCall>{});
    EXPECT_EQ(frame()->getScaleFactor(), c.factor);
    EXPECT_EQ(std::make_pair(frame()->getDeviceWidth(), frame()->getDeviceHeight()),
              sizeAt(c.factor));
    EXPECT_EQ(editorSize(effect->getAeffect()), sizeAt(c.factor));
    EXPECT_EQ(PreferenceStore().getText("UIScale"),
              c.stored ? std::optional<std::string>(c.stored) : std::nullopt);
    // The window shows what the layout shows; an automated knob redraws only itself.
    EXPECT_LT(differenceFromLayout(frame()->getBackBuffer(), layout.get()), 5.0);
    effect->setParameter(kOutput, static_cast<float>(c.factor) / 4);
    editor->idle();
    EXPECT_EQ(frame()->getLastRenderedRects(), std::vector{CRect(651, 76, 709, 158)});
  }
}

TEST_F(EditorScaleTest, ABadSettingIsToldOnceWhateverTheHostAsks) {
  ScopedEnv scale{"VELTRANE_UI_SCALE", "huge"};
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(editorSize(effect->getAeffect()), sizeAt(1));
  open();
  editor->close();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Veltrane: VELTRANE_UI_SCALE \"huge\" is not 1, 1.5 or 2; ignored\n");
}

// Where the factor comes from: the first source with a usable value, bad values passed over
// with a line each.
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
      {"1 dpi, tiny but a resolution", {{}, {}, {}, {}, "1"}, 1.0, "Xft.dpi", 0},
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

}  // namespace
