// The editor at 1x, 1.5x and 2x: the size the host is told, what the window shows, the "Size"
// menu, its stored choice and the resizing of an open window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/ADEditor.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/COptionMenuPopup.h"
#include "plugin/Veltrane.h"
#include "resources/EmbeddedResources.h"
#include "tests/support/TempDir.h"

namespace {

// A host that may or may not say it can resize the editor's window, and notes every request.
struct ResizingHost {
  static inline bool canResize = false;
  static inline std::vector<std::pair<int, int>> requests;
};

VstIntPtr resizingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float) {
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterCanDo:
      return ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0
                 ? (ResizingHost::canResize ? 1 : -1)
                 : 0;
    case audioMasterSizeWindow:
      ResizingHost::requests.emplace_back(index, static_cast<int>(value));
      return 1;
    default:
      return 0;
  }
}

std::pair<int, int> editorSize(AEffect* e) {
  ERect* rect = nullptr;
  e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0.f);
  return {rect->right - rect->left, rect->bottom - rect->top};
}

// A drawing's pixels, kept after its window closed.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  int at(int x, int y, int channel) const {
    return (pixels[static_cast<size_t>(y) * width + x] >> (16 - 8 * channel)) & 0xff;
  }
};

Picture pictureOf(cairo_surface_t* s) {
  cairo_surface_flush(s);
  Picture p{cairo_image_surface_get_width(s), cairo_image_surface_get_height(s), {}};
  for (int y = 0; y < p.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                                        y * cairo_image_surface_get_stride(s));
    p.pixels.insert(p.pixels.end(), row, row + p.width);
  }
  return p;
}

// The scaled drawing averaged down to layout pixels (each device pixel weighing by the share of
// it a layout pixel covers) against the layout drawing: the mean difference per channel in
// 8-bit levels.
double differenceFromLayout(const Picture& scaled, const Picture& layout) {
  const double f = static_cast<double>(scaled.width) / layout.width;
  auto share = [](double from, double to, int pixel) {
    return std::max(0.0, std::min(to, pixel + 1.0) - std::max(from, static_cast<double>(pixel)));
  };
  double sum = 0;
  for (int y = 0; y < layout.height; ++y)
    for (int x = 0; x < layout.width; ++x)
      for (int c = 0; c < 3; ++c) {
        double averaged = 0;
        for (int dy = static_cast<int>(y * f); dy < std::ceil((y + 1) * f); ++dy)
          for (int dx = static_cast<int>(x * f); dx < std::ceil((x + 1) * f); ++dx)
            averaged += share(x * f, (x + 1) * f, dx) * share(y * f, (y + 1) * f, dy) *
                        scaled.at(dx, dy, c);
        sum += std::fabs(averaged / (f * f) - layout.at(x, y, c));
      }
  return sum / (3.0 * layout.width * layout.height);
}

// The share of 2 x 2 blocks whose pixels differ by more than a few levels: a picture enlarged
// from half its size has hardly any.
double detailShare(const Picture& p) {
  int detailed = 0;
  for (int y = 0; y + 1 < p.height; y += 2)
    for (int x = 0; x + 1 < p.width; x += 2)
      for (int c = 0; c < 3; ++c) {
        const auto [low, high] = std::minmax(
            {p.at(x, y, c), p.at(x + 1, y, c), p.at(x, y + 1, c), p.at(x + 1, y + 1, c)});
        if (high - low > 8) {
          ++detailed;
          break;
        }
      }
  return 4.0 * detailed / (p.width * p.height);
}

bool withoutHighResolution(const char* name, const unsigned char** data, size_t* size) {
  return std::strstr(name, "@2x") == nullptr && embeddedResourceProvider(name, data, size);
}

class EditorScaleTest : public testing::Test {
 protected:
  TempDir config;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};

  void SetUp() override {
    ResizingHost::canResize = false;
    ResizingHost::requests.clear();
  }
  static std::unique_ptr<Veltrane> makeEffect() { return std::make_unique<Veltrane>(resizingHost); }
  static ADEditor* editorOf(const std::unique_ptr<Veltrane>& effect) {
    return dynamic_cast<ADEditor*>(effect->getEditor());
  }

  static void click(CFrame* frame, double x, double y, int64_t buttons) {
    CPoint p(x, y);
    frame->onMouseDown(p, CButtonState(buttons));
    frame->onMouseUp(p, CButtonState(buttons));
  }
  // Right-clicks the background and picks an entry of the list that opens (1 "100%", 2 "150%",
  // 3 "200%", 4 "Automatic"). Where the list was and which entry it offered first.
  static std::pair<CPoint, int32_t> chooseSize(CFrame* frame, int entry) {
    click(frame, 250, 10, kRButton);
    auto* list = dynamic_cast<COptionMenuPopup*>(frame->getModalView());
    EXPECT_NE(list, nullptr);
    if (list == nullptr) return {};
    const std::pair<CPoint, int32_t> seen{list->getListRect().getTopLeft(), list->getHoverIndex()};
    const CPoint at = list->entryRect(entry).getCenter();
    click(frame, at.x, at.y, kLButton);
    EXPECT_EQ(frame->getModalView(), nullptr);
    return seen;
  }

  // The whole window as the editor draws it at a factor.
  static Picture drawnAt(const char* factor) {
    ScopedEnv scale{"VELTRANE_UI_SCALE", factor};
    auto effect = makeEffect();
    ADEditor* editor = editorOf(effect);
    EXPECT_TRUE(editor->open(nullptr));
    editor->idle();
    Picture picture = pictureOf(editor->getFrame()->getBackBuffer());
    editor->close();
    return picture;
  }
};

TEST_F(EditorScaleTest, EachFactorScalesTheWindowAndShowsWhatTheLayoutShows) {
  const Picture layout = drawnAt("1");
  ASSERT_EQ(std::make_pair(layout.width, layout.height), std::make_pair(778, 248));
  const struct {
    const char* factor;
    int width, height;
  } factors[] = {{"1.5", 1167, 372}, {"2", 1556, 496}};
  for (const auto& f : factors) {
    SCOPED_TRACE(f.factor);
    {
      ScopedEnv scale{"VELTRANE_UI_SCALE", f.factor};
      auto effect = makeEffect();
      EXPECT_EQ(editorSize(effect->getAeffect()), std::make_pair(f.width, f.height));
    }
    const Picture drawn = drawnAt(f.factor);
    ASSERT_EQ(std::make_pair(drawn.width, drawn.height), std::make_pair(f.width, f.height));
    EXPECT_LT(differenceFromLayout(drawn, layout), 5.0);
  }
}

TEST_F(EditorScaleTest, TwiceTheSizeShowsThePicturesDrawnAtTwiceTheResolution) {
  const double sharp = detailShare(drawnAt("2"));
  struct ProviderSwap {
    ProviderSwap() { CBitmap::setResourceProvider(withoutHighResolution); }
    ~ProviderSwap() { CBitmap::setResourceProvider(embeddedResourceProvider); }
  };
  double enlarged = 0;
  {
    ProviderSwap onlyTheLayoutPictures;
    enlarged = detailShare(drawnAt("2"));
  }
  EXPECT_GT(sharp, 3 * enlarged) << sharp << " against " << enlarged;
}

TEST_F(EditorScaleTest, AnAutomatedKnobRedrawsOnlyItselfAtTwiceTheSize) {
  ScopedEnv scale{"VELTRANE_UI_SCALE", "2"};
  auto effect = makeEffect();
  ADEditor* editor = editorOf(effect);
  ASSERT_TRUE(editor->open(nullptr));
  editor->idle();
  for (float value : {0.1f, 0.7f}) {
    effect->setParameter(kOutput, value);
    editor->idle();
    EXPECT_EQ(editor->getFrame()->getLastRenderedRects(),
              std::vector<CRect>{CRect(651, 76, 709, 158)});
  }
  editor->close();
}

TEST_F(EditorScaleTest, TheSizeMenuOpensOnTheBackgroundOnlyAndItsChoiceServesEveryInstance) {
  auto effect = makeEffect();
  ADEditor* editor = editorOf(effect);
  ASSERT_TRUE(editor->open(nullptr));
  CFrame* frame = editor->getFrame();
  click(frame, 678, 30, kRButton);  // the EQ button
  click(frame, 250, 10, kLButton);
  EXPECT_EQ(frame->getModalView(), nullptr) << "only a right-click on the background opens it";
  const auto [listCorner, offered] = chooseSize(frame, 3);  // "200%"
  EXPECT_EQ(listCorner, CPoint(250, 10));
  EXPECT_EQ(offered, 4) << "Automatic, as nothing was stored";
  EXPECT_EQ(PreferenceStore().getText("UIScale"), "2");
  editor->idle();
  EXPECT_TRUE(ResizingHost::requests.empty()) << "this host cannot resize";
  EXPECT_EQ(frame->getScaleFactor(), 1.0);
  EXPECT_EQ(editorSize(effect->getAeffect()), std::make_pair(778, 248)) << "the open window";
  editor->close();
  EXPECT_EQ(editorSize(effect->getAeffect()), std::make_pair(1556, 496)) << "the next opening";
  EXPECT_EQ(editorSize(makeEffect()->getAeffect()), std::make_pair(1556, 496))
      << "another instance";
}

TEST_F(EditorScaleTest, AHostThatCanResizeIsAskedAndTheOpenWindowFollows) {
  ResizingHost::canResize = true;
  auto effect = makeEffect();
  ADEditor* editor = editorOf(effect);
  ASSERT_TRUE(editor->open(nullptr));
  CFrame* frame = editor->getFrame();
  const struct {
    int entry;
    double factor;
    std::pair<int, int> size;
  } choices[] = {{2, 1.5, {1167, 372}}, {4, 1.0, {778, 248}}, {3, 2.0, {1556, 496}}};
  for (const auto& c : choices) {
    chooseSize(frame, c.entry);
    editor->idle();
    EXPECT_EQ(std::exchange(ResizingHost::requests, {}), (std::vector{c.size}));
    EXPECT_EQ(frame->getScaleFactor(), c.factor);
    EXPECT_EQ(std::make_pair(frame->getDeviceWidth(), frame->getDeviceHeight()), c.size);
    EXPECT_EQ(editorSize(effect->getAeffect()), c.size);
  }
  editor->close();
}

TEST_F(EditorScaleTest, ABadSettingIsToldOnceWhateverTheHostAsks) {
  ScopedEnv scale{"VELTRANE_UI_SCALE", "huge"};
  auto effect = makeEffect();
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(editorSize(effect->getAeffect()), std::make_pair(778, 248));
  ASSERT_TRUE(editorOf(effect)->open(nullptr));
  editorOf(effect)->close();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Veltrane: VELTRANE_UI_SCALE \"huge\" is not 1, 1.5 or 2; ignored\n");
}

}  // namespace
