// The built plug-in loaded the way a host loads it and driven through the dispatcher only, and
// veltrane-host's own commands as a new user tries them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "PluginHost.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

std::unique_ptr<PluginHost> loadPlugin() {
  std::string error;
  auto host = PluginHost::load(VELTRANE_PLUGIN_PATH, error);
  EXPECT_TRUE(host) << error;
  return host;
}

// What a host sees before it processes anything, as `veltrane-host info` shows it (the editor's
// size shows in the window tests; speaker arrangements are the effect's, tested with it).
TEST(PluginBinary, ReportsItsIdentityPinsAndCapabilitiesAndExportsNothingElse) {
  const std::string info =
      runCommand("{ " VELTRANE_HOST_PATH " info " VELTRANE_PLUGIN_PATH " 2> /dev/null; }").output;
  EXPECT_EQ(info.substr(0, info.find("Can do:")), R"(Effect:          ZAL Veltrane
Product:         ZAL Veltrane - parametric channel eq
Vendor:          www.zal-audio.example
Vendor version:  1800
Unique ID:       'QXRM' (0x5158524d)
VST version:     2400
Category:        4 (mastering)
Flags:           editor replacing double-replacing chunks
Latency:         46 samples
Tail:            1024 samples
Programs:        1 (current "Current")
Inputs/outputs:  2 / 2
  input 0: "ZAL Veltrane 1 In" active stereo
  input 1: "ZAL Veltrane 2 In" active
  output 0: "ZAL Veltrane 1 Out" active stereo
  output 1: "ZAL Veltrane 2 Out" active
)");
  std::istringstream canDo(info.substr(info.find("Can do:\n") + 8));
  std::string yes;
  for (std::string name, answer; canDo >> name >> answer && name != "Parameters:";)
    if (answer == "yes") yes += name + " ";
  EXPECT_EQ(yes, "offline plugAsChannelInsert mixDryWet 1in1out 2in2out ");
  EXPECT_THAT(info, HasSubstr("Parameters:      40\n"));

  // It exports only its entry points, and embedding its pictures (by the assembler) did not cost
  // it its non-executable stack.
  EXPECT_EQ(runCommand("nm -D --defined-only " VELTRANE_PLUGIN_PATH " | awk '{print $3}'").output,
            "VSTPluginMain\nmain\n");
  EXPECT_THAT(runCommand("readelf -lW " VELTRANE_PLUGIN_PATH " | grep GNU_STACK").output,
              AllOf(HasSubstr(" RW "), Not(HasSubstr("RWE"))));
}

// Program names in 24 bytes (parameter texts in 9 are the effect base's, tested with it);
// presets are the plug-in's own, so selecting one changes nothing.
TEST(PluginBinary, ProgramNamesFitTheHostsBuffersAndInstancesKeepTheirOwn) {
  auto host = loadPlugin();
  ASSERT_TRUE(host);
  AEffect* e = host->effect();
  e->setParameter(e, 6, 1.0f);
  char longName[] = "Thirty characters of a name!!";
  host->dispatch(effSetProgramName, 0, 0, longName);
  char buffer[32];
  std::memset(buffer, 0x55, sizeof(buffer));
  host->dispatch(effGetProgramName, 0, 0, buffer);
  EXPECT_EQ(std::string(buffer), std::string(longName, 23));
  EXPECT_EQ(static_cast<unsigned char>(buffer[24]), 0x55);
  std::memset(buffer, 0x55, sizeof(buffer));
  EXPECT_EQ(host->dispatch(effGetProgramNameIndexed, 2, 0, buffer), 1);
  EXPECT_STREQ(buffer, "Snare");
  EXPECT_EQ(static_cast<unsigned char>(buffer[24]), 0x55);
  EXPECT_EQ(host->dispatch(effGetProgramNameIndexed, 5, 0, buffer), 0);
  host->dispatch(effSetProgram, 0, 3);
  EXPECT_EQ(host->dispatch(effGetProgram), 0);
  EXPECT_EQ(host->text(effGetProgramName), std::string(longName, 23));

  // A second instance keeps its own values and names.
  auto second = loadPlugin();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->effect()->getParameter(second->effect(), 6), 0.5f);
  EXPECT_EQ(second->text(effGetProgramName), "Current");
}

TEST(PluginHostCommand, InfoHelpAndBareNamesAsAUserTypesThem) {
  const std::filesystem::path plugin = VELTRANE_PLUGIN_PATH;
  const std::string here = "cd '" + plugin.parent_path().string() + "' && " VELTRANE_HOST_PATH;
  const struct {
    std::string command;
    int status;
    const char* says;
  } table[] = {
      {VELTRANE_HOST_PATH " info /nonexistent.so", 1, "cannot load"},
      {VELTRANE_HOST_PATH " info " FIXTURE_NULL_EFFECT, 1, "no effect"},
      {VELTRANE_HOST_PATH " info " FIXTURE_NO_ENTRY, 1, "neither VSTPluginMain nor main"},
      {VELTRANE_HOST_PATH " info " FIXTURE_MAIN_ONLY, 0, "'Legy'"},
      {VELTRANE_HOST_PATH " frobnicate", 2, "veltrane-host validate"},
      {"{ " VELTRANE_HOST_PATH " --help 2> /dev/null; }", 0, "veltrane-host validate"},
      {here + " info " + plugin.filename().string(), 0, "ZAL Veltrane"},
      // Not searched for in the library path, where dlopen would find it.
      {here + " info libc.so.6", 1, "cannot load"},
  };
  for (const auto& row : table) {
    const CommandResult run = runCommand(row.command);
    EXPECT_EQ(run.status, row.status) << row.command << "\n" << run.output;
    EXPECT_THAT(run.output, HasSubstr(row.says)) << row.command;
  }
}

TEST(PluginHostCommand, InstallsWithThePlugin) {
  TempDir prefix;
  const std::string to = prefix.path().string();
  ASSERT_EQ(runCommand("cmake --install '" VELTRANE_BUILD_DIR "' --prefix '" + to + "'").status, 0);
  for (const char* file :
       {"/lib/vst/Veltrane.so", "/lib/lv2/Veltrane.lv2/manifest.ttl", "/bin/veltrane-host"})
    EXPECT_TRUE(std::filesystem::exists(to + file)) << file;
}

}  // namespace
