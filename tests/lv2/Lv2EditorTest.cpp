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
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

namespace {

using Write = std::pair<std::uint32_t, float>;

// What the host sees of one open UI: the ports it was asked to write and the gestures.
class EmbeddedUi {
 public:
  // A host scale of 0 is a host that passes none.
  EmbeddedUi(const LV2UI_Descriptor* descriptor, Lv2TestInstance& instance, std::uint32_t parent,
             float hostScale = 0.f)
      : descriptor(descriptor), instance(instance), hostScale(hostScale) {
    dataAccess.data_access = lilv_instance_get_descriptor(instance.instance)->extension_data;
    LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(std::uintptr_t{parent})};
    LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI,
                                lilv_instance_get_handle(instance.instance)};
    LV2_Feature dataFeature{LV2_DATA_ACCESS_URI, &dataAccess};
    LV2_Feature touchFeature{LV2_UI__touch, &touch};
    LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    LV2_URID_Map& map = *static_cast<LV2_URID_Map*>(instance.host.mapFeature.data);
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, map.map(map.handle, LV2_UI__scaleFactor), sizeof(float),
         map.map(map.handle, LV2_ATOM__Float), &this->hostScale},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    const LV2_Feature* features[] = {&parentFeature,
                                     &instanceFeature,
                                     &dataFeature,
                                     &touchFeature,
                                     &resizeFeature,
                                     &instance.host.mapFeature,
                                     hostScale > 0.f ? &optionsFeature : nullptr,
                                     nullptr};
    handle = descriptor->instantiate(descriptor, VELTRANE_LV2_URI, VELTRANE_LV2_BUNDLE, write, this,
                                     &widget, features);
    if (handle == nullptr) return;
    idleInterface =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    // As hosts do: the ports' values right after instantiation.
    for (std::uint32_t port = 4; port < 26; ++port) portEvent(port, instance.ports[port]);
  }
  ~EmbeddedUi() {
    if (handle) descriptor->cleanup(handle);
  }
  EmbeddedUi(const EmbeddedUi&) = delete;
  EmbeddedUi& operator=(const EmbeddedUi&) = delete;

  // Long enough for the window to show up, or for a change to have come through.
  void settle() {
    idleUntil([] { return false; }, std::chrono::milliseconds(400));
  }

  void portEvent(std::uint32_t port, float value) {
    descriptor->port_event(handle, port, sizeof(float), 0, &value);
  }
  // Idles as a host does, about 30 times a second, until the condition holds (true) or the
  // time is up (false).
  bool idleUntil(const std::function<bool()>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      idleInterface->idle(handle);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return false;
  }

  const LV2UI_Descriptor* descriptor;
  Lv2TestInstance& instance;
  LV2UI_Handle handle = nullptr;
  LV2UI_Widget widget = nullptr;
  const LV2UI_Idle_Interface* idleInterface = nullptr;
  std::vector<Write> writes;
  std::vector<std::pair<std::uint32_t, bool>> touches;
  std::pair<int, int> requestedSize{0, 0};

 private:
  // The host's side: a written value lands in the instance's port, as a host's would.
  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer) {
    auto* self = static_cast<EmbeddedUi*>(controller);
    ASSERT_EQ(size, sizeof(float));
    ASSERT_EQ(format, 0u);
    const float value = *static_cast<const float*>(buffer);
    self->writes.emplace_back(port, value);
    self->instance.ports[port] = value;
  }
  LV2_Extension_Data_Feature dataAccess{};
  float hostScale;
  LV2UI_Touch touch{this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                      static_cast<EmbeddedUi*>(h)->touches.emplace_back(port, grabbed);
                    }};
  LV2UI_Resize resize{this, [](LV2UI_Feature_Handle h, int width, int height) {
                        static_cast<EmbeddedUi*>(h)->requestedSize = {width, height};
                        return 0;
                      }};
};

class Lv2Editor : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    server = new XvfbServer;
    home = new TempDir;
    if (server->running()) setenv("DISPLAY", server->display().c_str(), 1);
    setenv("HOME", home->path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home->path() / "config").c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete server;
    delete home;
  }

 protected:
  void SetUp() override {
    if (!server->running()) GTEST_SKIP() << XvfbServer::skipReason();
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
    instance.reset();
    parent.reset();
    if (library) dlclose(library);
  }
  std::unique_ptr<EmbeddedUi> openUi(float hostScale = 0.f) {
    return std::make_unique<EmbeddedUi>(descriptor, *instance, parent->id(), hostScale);
  }
  static bool click(const EmbeddedUi& ui, int x, int y, int button = 1) {
    const std::string command = "xdotool mousemove --window " +
                                std::to_string(reinterpret_cast<std::uintptr_t>(ui.widget)) + " " +
                                std::to_string(x) + " " + std::to_string(y) + " click " +
                                std::to_string(button);
    return std::system(command.c_str()) == 0;
  }

  static XvfbServer* server;
  static TempDir* home;
  void* library = nullptr;
  const LV2UI_Descriptor* descriptor = nullptr;
  std::unique_ptr<HostWindow> parent;
  Lv2TestHost host;
  std::unique_ptr<Lv2TestInstance> instance;
};

XvfbServer* Lv2Editor::server = nullptr;
TempDir* Lv2Editor::home = nullptr;

constexpr std::uint32_t kEqAllPort = 4;
constexpr std::uint32_t kHpfPort = 8;

TEST_F(Lv2Editor, AClickWritesItsPortInAGestureAndAHostChangeMovesTheControl) {
  auto ui = openUi();
  ASSERT_NE(ui->handle, nullptr);
  EXPECT_EQ(ui->requestedSize, std::make_pair(778, 248));
  // One window per instance: a second UI is refused and leaves the first as it is.
  EXPECT_EQ(openUi()->handle, nullptr);
  ui->settle();
  EXPECT_TRUE(ui->writes.empty()) << "nothing changed yet";

  ASSERT_TRUE(click(*ui, 671, 30));  // "EQ all", on: now off
  EXPECT_TRUE(ui->idleUntil([&] { return !ui->writes.empty(); }));
  EXPECT_EQ(ui->writes, (std::vector<Write>{{kEqAllPort, 0.f}}));
  EXPECT_EQ(ui->touches,
            (std::vector<std::pair<std::uint32_t, bool>>{{kEqAllPort, true}, {kEqAllPort, false}}));

  // The host switches the high-pass on; a click then switches it off again.
  ui->portEvent(kHpfPort, 1.f);
  ui->settle();
  ui->writes.clear();
  ASSERT_TRUE(click(*ui, 99, 30));
  EXPECT_TRUE(ui->idleUntil([&] { return !ui->writes.empty(); }));
  EXPECT_EQ(ui->writes, (std::vector<Write>{{kHpfPort, 0.f}}));
}

// The host's ui:scaleFactor sizes the window unless the user chose a size, and a size chosen
// in the window's menu reaches the host through ui:resize.
TEST_F(Lv2Editor, TheHostsScaleSizesTheWindowAndTheSizeMenuResizesItThroughTheHost) {
  auto ui = openUi(2.f);
  ASSERT_NE(ui->handle, nullptr);
  EXPECT_EQ(ui->requestedSize, std::make_pair(1556, 496));
  ui->settle();
  // The menu's rows are 17 layout pixels from the right-click: "Size:", "100%", ... "Automatic".
  auto choose = [&](int row, double scale) {
    const int x = static_cast<int>(250 * scale), y = static_cast<int>(10 * scale);
    if (!click(*ui, x, y, 3)) return false;
    ui->settle();
    return click(*ui, static_cast<int>(270 * scale),
                 static_cast<int>((10 + 1 + row * 17 + 8) * scale));
  };
  ASSERT_TRUE(choose(1, 2.0));  // "100%" wins over the host's scale
  EXPECT_TRUE(ui->idleUntil([&] { return ui->requestedSize == std::make_pair(778, 248); }));
  ASSERT_TRUE(choose(4, 1.0));  // "Automatic": the host's scale again
  EXPECT_TRUE(ui->idleUntil([&] { return ui->requestedSize == std::make_pair(1556, 496); }));
  EXPECT_TRUE(ui->writes.empty()) << "the size is no parameter";
}

// Switch presets in the window, save the session, load it again: the switched preset plays.
TEST_F(Lv2Editor, APresetSwitchedInTheWindowReachesThePortsAndComesBackWithTheSession) {
  auto ui = openUi();
  ASSERT_NE(ui->handle, nullptr);
  ui->settle();
  ASSERT_TRUE(click(*ui, 338, 239));  // the rocker's right half: "Current" -> "Drum Group"
  ui->idleUntil([&] { return ui->writes.size() >= 4; });
  ui->settle();  // and nothing more comes
  // "Drum Group" differs from "Current" in these four, as the ports see them.
  EXPECT_EQ(ui->writes, (std::vector<Write>{{7, 1.f}, {11, 63.f}, {13, 2.75f}, {21, 2.f}}));
  EXPECT_TRUE(ui->touches.empty());
  instance->run(64);
  ui.reset();

  const StoredState session = instance->saveState();
  Lv2TestInstance reloaded(host);
  reloaded.ports = instance->ports;
  reloaded.activate();
  ASSERT_EQ(reloaded.restoreState(session), LV2_STATE_SUCCESS);
  reloaded.run(512);
  reloaded.deactivate();
  reloaded.activate();
  EXPECT_EQ(reloaded.saveState(), session);
  instance->deactivate();
  instance->activate();
  const std::vector<float> signal = testSignal(8000);
  EXPECT_EQ(firstDifference(reloaded.process(signal), instance->process(signal)), -1);
}

TEST_F(Lv2Editor, FiftyOpenCloseCyclesLeaveNoDescriptorBehindAndThePlugInRunsOn) {
  auto cycle = [&] {
    auto ui = openUi();
    for (int i = 0; i < 3; ++i) {
      parent->handleEvents();
      ui->idleInterface->idle(ui->handle);
      instance->run(64);
    }
    return ui->handle != nullptr;
  };
  ASSERT_TRUE(cycle());  // the first open loads what stays loaded (fonts, bitmaps)
  const int descriptors = countOpenDescriptors();
  int opened = 0;
  for (int i = 0; i < 50; ++i) opened += cycle();
  EXPECT_EQ(opened, 50);
  EXPECT_EQ(countOpenDescriptors(), descriptors);
  instance->run(256);
  EXPECT_EQ(instance->ports[26], 46.f);
}

}  // namespace
