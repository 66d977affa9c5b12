// The UI binary as a host embeds it: a plain X window as the parent on a private X server,
// instance-access and data-access onto an instance of the DSP binary, a write function and
// touch gestures recorded, clicks made with xdotool.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/data-access/data-access.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "HostWindow.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/OpenDescriptors.h"
#include "tests/tools/HostTestSupport.h"

namespace {

using Write = std::pair<std::uint32_t, float>;
using Touch = std::pair<std::uint32_t, bool>;

// The UI in a plain window of this process, with the test as its host: what the UI asks of the
// host (port writes, gestures, a size) is recorded, and a written value lands in the instance's
// port, as a host's would. The size menu writes its preferences into the test's own home.
class Lv2Editor : public HostEditorTest {
 public:
  static void SetUpTestSuite() {
    HostEditorTest::SetUpTestSuite();
    if (server->running()) setenv("DISPLAY", server->display().c_str(), 1);
  }

 protected:
  void SetUp() override {
    HostEditorTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    library = dlopen(VELTRANE_LV2_BUNDLE "/Veltrane_ui.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry =
        reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor = entry(0);
    std::string error;
    parent = HostWindow::open("lv2", 778, 248, error);
    ASSERT_TRUE(parent) << error;
    instance = std::make_unique<Lv2TestInstance>(host);
    instance->activate();
    instance->run(64);
  }
  void TearDown() override {
    closeUi();
    instance.reset();
    parent.reset();
    if (library) dlclose(library);
    HostEditorTest::TearDown();
  }

  // A UI in the parent window; a host scale of 0 is a host that passes none. Null when refused.
  LV2UI_Handle instantiate(float scale, LV2UI_Widget* into) {
    hostScale = scale;
    dataAccess.data_access = lilv_instance_get_descriptor(instance->instance)->extension_data;
    const LV2_Options_Option options[] = {{LV2_OPTIONS_INSTANCE, 0, host.id(LV2_UI__scaleFactor),
                                           sizeof(float), host.id(LV2_ATOM__Float), &hostScale},
                                          {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    LV2_Feature parentFeature{LV2_UI__parent,
                              reinterpret_cast<void*>(std::uintptr_t{parent->id()})};
    LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI,
                                lilv_instance_get_handle(instance->instance)};
    LV2_Feature dataFeature{LV2_DATA_ACCESS_URI, &dataAccess};
    LV2_Feature touchFeature{LV2_UI__touch, &touch};
    LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    const LV2_Feature* features[] = {&parentFeature,
                                     &instanceFeature,
                                     &dataFeature,
                                     &touchFeature,
                                     &resizeFeature,
                                     &host.mapFeature,
                                     scale > 0.f ? &optionsFeature : nullptr,
                                     nullptr};
    return descriptor->instantiate(descriptor, VELTRANE_LV2_URI, VELTRANE_LV2_BUNDLE, write, this,
                                   into, features);
  }
  // Then, as hosts do, the ports' values right after instantiation.
  bool openUi(float scale = 0.f) {
    requestedSize = {0, 0};
    LV2UI_Widget widget = nullptr;
    handle = instantiate(scale, &widget);
    ui = static_cast<uint32_t>(reinterpret_cast<std::uintptr_t>(widget));
    for (std::uint32_t port = 4; handle && port < 26; ++port)
      portEvent(port, instance->ports[port]);
    return handle != nullptr;
  }
  void closeUi() {
    if (handle) descriptor->cleanup(std::exchange(handle, nullptr));
  }
  void portEvent(std::uint32_t port, float value) {
    descriptor->port_event(handle, port, sizeof(float), 0, &value);
  }
  // Idles as a host does, about 30 times a second, until the condition holds (true) or the
  // time is up (false).
  bool idleUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 3s) {
    const auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    for (const auto deadline = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < deadline;) {
      idle->idle(handle);
      if (done()) return true;
      std::this_thread::sleep_for(30ms);
    }
    return false;
  }
  // Long enough for the window to show up, or for a change to have come through.
  void settle() {
    idleUntil([] { return false; }, 400ms);
  }
  ScopedEnv config{"XDG_CONFIG_HOME", home.path().c_str()};
  void* library = nullptr;
  const LV2UI_Descriptor* descriptor = nullptr;
  std::unique_ptr<HostWindow> parent;
  Lv2TestHost host;
  std::unique_ptr<Lv2TestInstance> instance;
  LV2UI_Handle handle = nullptr;
  uint32_t ui = 0;  // the UI's window
  std::vector<Write> writes;
  std::vector<Touch> touches;
  std::pair<int, int> requestedSize{0, 0};

 private:
  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer) {
    auto* self = static_cast<Lv2Editor*>(controller);
    ASSERT_TRUE(size == sizeof(float) && format == 0u);
    self->writes.emplace_back(port,
                              self->instance->ports[port] = *static_cast<const float*>(buffer));
  }
  LV2_Extension_Data_Feature dataAccess{};
  float hostScale = 0.f;
  LV2UI_Touch touch{this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                      static_cast<Lv2Editor*>(h)->touches.emplace_back(port, grabbed);
                    }};
  LV2UI_Resize resize{this, [](LV2UI_Feature_Handle h, int width, int height) {
                        static_cast<Lv2Editor*>(h)->requestedSize = {width, height};
                        return 0;
                      }};
};

constexpr std::uint32_t kEqAllPort = 4, kHpfPort = 8;

// The host's ui:scaleFactor sizes the window unless the user chose a size, and a size chosen in
// the window's menu reaches the host through ui:resize (this host keeps its window as it is).
TEST_F(Lv2Editor, AClickWritesItsPortInAGestureAHostChangeMovesTheControlAndTheHostSetsTheSize) {
  ASSERT_TRUE(openUi(2.f));
  EXPECT_EQ(requestedSize, std::make_pair(1556, 496));
  // One window per instance: a second UI is refused and leaves the first as it is.
  LV2UI_Widget none = nullptr;
  EXPECT_EQ(instantiate(0.f, &none), nullptr);
  settle();
  // The menu's rows are 17 layout pixels from the right-click: "Size:", "100%", ... "Automatic".
  auto choose = [&](int row, int scale) {
    const bool opened = click(ui, 250 * scale, 10 * scale, 3);
    settle();
    return opened && click(ui, 270 * scale, (10 + 1 + row * 17 + 8) * scale);
  };
  ASSERT_TRUE(choose(1, 2));  // "100%" wins over the host's scale
  EXPECT_TRUE(idleUntil([&] { return requestedSize == std::make_pair(778, 248); }));
  EXPECT_TRUE(writes.empty()) << "nothing changed yet, and the size is no parameter";

  ASSERT_TRUE(click(ui, 671, 30));  // "EQ all", on: now off
  EXPECT_TRUE(idleUntil([&] { return !writes.empty(); }));
  EXPECT_EQ(writes, (std::vector<Write>{{kEqAllPort, 0.f}}));
  EXPECT_EQ(touches, (std::vector<Touch>{{kEqAllPort, true}, {kEqAllPort, false}}));
  // The host switches the high-pass on; a click then switches it off again.
  portEvent(kHpfPort, 1.f);
  settle();
  writes.clear();
  ASSERT_TRUE(click(ui, 99, 30));
  EXPECT_TRUE(idleUntil([&] { return !writes.empty(); }));
  EXPECT_EQ(writes, (std::vector<Write>{{kHpfPort, 0.f}}));

  writes.clear();
  ASSERT_TRUE(choose(4, 1));  // "Automatic": the host's scale again
  EXPECT_TRUE(idleUntil([&] { return requestedSize == std::make_pair(1556, 496); }));
  EXPECT_TRUE(writes.empty());
}

// Switch presets in the window, save the session, load it again: the switched preset plays.
// Then fifty more windows open and close, and leave no descriptor behind.
TEST_F(Lv2Editor, APresetSwitchedInTheWindowComesBackWithTheSessionAndWindowsComeAndGoCleanly) {
  ASSERT_TRUE(openUi());
  settle();
  ASSERT_TRUE(click(ui, 338, 239));  // the rocker's right half: "Current" -> "Drum Group"
  idleUntil([&] { return writes.size() >= 4; });
  settle();  // and nothing more comes
  // "Drum Group" differs from "Current" in these four, as the ports see them.
  EXPECT_EQ(writes, (std::vector<Write>{{7, 1.f}, {11, 63.f}, {13, 2.75f}, {21, 2.f}}));
  EXPECT_TRUE(touches.empty());
  instance->run(64);
  closeUi();
  Lv2TestInstance reloaded(host);
  reloaded.activate();
  ASSERT_EQ(reloaded.restoreState(instance->saveState()), LV2_STATE_SUCCESS);
  EXPECT_EQ(reloaded.saveState(), instance->saveState());
  EXPECT_EQ(firstDifference(reloaded.freshSound(), instance->freshSound()), -1);

  // The first window loaded what stays loaded (fonts, bitmaps).
  const int descriptors = countOpenDescriptors();
  int opened = 0;
  for (int i = 0; i < 50; ++i) {
    opened += openUi();
    for (int n = 0; n < 3; ++n) {
      parent->handleEvents();
      idleUntil([] { return true; });
      instance->run(64);
    }
    opened -= requestedSize != std::make_pair(778, 248);
    closeUi();
  }
  EXPECT_EQ(opened, 50);
  EXPECT_EQ(countOpenDescriptors(), descriptors);
  instance->run(256);
  EXPECT_EQ(instance->ports[26], 46.f);
}

}  // namespace
