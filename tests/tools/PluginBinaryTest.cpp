// The built plug-in, loaded the way a host loads it and driven through the dispatcher only.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "PluginHost.h"
#include "tests/support/TempDir.h"

namespace {

std::unique_ptr<PluginHost> loadPlugin() {
  std::string error;
  auto host = PluginHost::load(VELTRANE_PLUGIN_PATH, error);
  EXPECT_TRUE(host) << error;
  return host;
}

TEST(PluginBinary, ReportsItsIdentity) {
  auto host = loadPlugin();
  ASSERT_TRUE(host);
  const AEffect* e = host->effect();
  EXPECT_EQ(e->uniqueID, vstFourCC('Q', 'X', 'R', 'M'));
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->numParams, 40);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->initialDelay, 46);
  EXPECT_TRUE(e->flags & effFlagsCanReplacing);
  EXPECT_TRUE(e->flags & effFlagsCanDoubleReplacing);
  EXPECT_TRUE(e->flags & effFlagsProgramChunks);
  EXPECT_TRUE(e->flags & effFlagsHasEditor);
  ERect* rect = nullptr;
  ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 778);
  EXPECT_EQ(rect->bottom - rect->top, 248);
  EXPECT_NE(e->processReplacing, nullptr);
  EXPECT_NE(e->processDoubleReplacing, nullptr);
  EXPECT_NE(reinterpret_cast<void*>(e->process), reinterpret_cast<void*>(e->processReplacing));
  EXPECT_EQ(host->dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(host->dispatch(effGetVendorVersion), 1800);
  EXPECT_EQ(host->dispatch(effGetPlugCategory), kPlugCategMastering);
  EXPECT_EQ(host->dispatch(effGetTailSize), 1024);
  EXPECT_EQ(host->text(effGetEffectName), "ZAL Veltrane");
  EXPECT_EQ(host->text(effGetProductString), "ZAL Veltrane - parametric channel eq");
  EXPECT_FALSE(host->text(effGetVendorString).empty());
  EXPECT_EQ(host->dispatch(9999), 0);  // unknown opcodes answer 0
}

TEST(PluginBinary, AnswersCapabilitiesAndPins) {
  auto host = loadPlugin();
  ASSERT_TRUE(host);
  for (const char* yes : {"offline", "plugAsChannelInsert", "mixDryWet", "1in1out", "2in2out"}) {
    char text[64];
    std::strcpy(text, yes);
    EXPECT_EQ(host->dispatch(effCanDo, 0, 0, text), 1) << yes;
  }
  for (const char* no : {"receiveVstMidiEvent", "bypass", "2in1out", ""}) {
    char text[64];
    std::strcpy(text, no);
    EXPECT_EQ(host->dispatch(effCanDo, 0, 0, text), 0) << no;
  }
  EXPECT_EQ(host->dispatch(effCanDo), 0);  // a null text is not a crash

  VstPinProperties pin;
  ASSERT_EQ(host->dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "ZAL Veltrane 1 In");
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  ASSERT_EQ(host->dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "ZAL Veltrane 2 Out");
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  std::memset(&pin, 0x55, sizeof(pin));
  EXPECT_EQ(host->dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(static_cast<unsigned char>(pin.label[0]), 0x55);

  VstSpeakerArrangement in{}, out{};
  in.numChannels = 2;
  out.numChannels = 1;
  EXPECT_EQ(host->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
  out.numChannels = 2;
  EXPECT_EQ(host->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
  EXPECT_EQ(host->dispatch(effSetSpeakerArrangement, 0, 0, &out), 0);
}

TEST(PluginBinary, ParameterTextsFitNineByteBuffers) {
  auto host = loadPlugin();
  ASSERT_TRUE(host);
  AEffect* e = host->effect();
  for (int index = -2; index < 44; ++index) {
    for (int step = 0; step <= 20; ++step) {
      if (index >= 0 && index < 40) e->setParameter(e, index, step / 20.0f);
      for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
        char buffer[16];
        std::memset(buffer, 0x55, sizeof(buffer));
        host->dispatch(opcode, index, 0, buffer);
        EXPECT_EQ(static_cast<unsigned char>(buffer[9]), 0x55) << index << " op " << opcode;
        EXPECT_LE(std::strlen(buffer), 8u);
      }
    }
  }
  // A few texts through the host's eyes.
  e->setParameter(e, 6, 1.0f);
  EXPECT_EQ(host->text(effGetParamDisplay, 6), "20dB");
  e->setParameter(e, 9, 0.5f);
  EXPECT_EQ(host->text(effGetParamDisplay, 9), "140Hz");
  EXPECT_EQ(host->text(effGetParamName, 9), "HPFfreq");
  VstParameterProperties p{};
  EXPECT_EQ(host->dispatch(effGetParameterProperties, 6, 0, &p), 0);
  EXPECT_EQ(host->dispatch(effGetParameterProperties, 1, 0, &p), 1);
  EXPECT_EQ(p.flags, 5);
}

TEST(PluginBinary, ProgramNamesFitTwentyFourByteBuffers) {
  auto host = loadPlugin();
  ASSERT_TRUE(host);
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
  host->dispatch(effSetProgram, 0, 3);  // presets are the plug-in's own: nothing changes
  EXPECT_EQ(host->dispatch(effGetProgram), 0);
  EXPECT_EQ(host->text(effGetProgramName), std::string(longName, 23));
}

TEST(PluginBinary, InstancesAreIndependent) {
  auto first = loadPlugin();
  auto second = loadPlugin();
  ASSERT_TRUE(first && second);
  AEffect* a = first->effect();
  AEffect* b = second->effect();
  a->setParameter(a, 15, 0.9f);
  EXPECT_EQ(a->getParameter(a, 15), 0.9f);
  EXPECT_EQ(b->getParameter(b, 15), 0.5f);
  first->clearNotifications();
  a->dispatcher(a, effSetProgramName, 0, 0, const_cast<char*>("Mine"), 0);
  EXPECT_EQ(second->text(effGetProgramName), "Current");
}

TEST(PluginBinary, ExportsOnlyItsEntryPoints) {
  const std::string command = "nm -D --defined-only " VELTRANE_PLUGIN_PATH " | awk '{print $3}'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string symbols;
  char line[256];
  while (fgets(line, sizeof(line), pipe)) symbols += line;
  pclose(pipe);
  EXPECT_EQ(symbols, "VSTPluginMain\nmain\n");
}

TEST(PluginHostLoading, ExplainsWhatWentWrong) {
  std::string error;
  EXPECT_FALSE(PluginHost::load("/nonexistent/Nothing.so", error));
  EXPECT_NE(error.find("cannot load"), std::string::npos);
  EXPECT_FALSE(PluginHost::load(FIXTURE_NO_ENTRY, error));
  EXPECT_NE(error.find("neither VSTPluginMain nor main"), std::string::npos);
  EXPECT_FALSE(PluginHost::load(FIXTURE_NULL_EFFECT, error));
  EXPECT_NE(error.find("no effect"), std::string::npos);
  auto legacy = PluginHost::load(FIXTURE_MAIN_ONLY, error);
  ASSERT_TRUE(legacy) << error;
  EXPECT_EQ(legacy->effect()->uniqueID, vstFourCC('L', 'e', 'g', 'y'));
}

TEST(PluginHostCommand, InfoSucceedsOnThePluginAndFailsClearly) {
  EXPECT_EQ(std::system(VELTRANE_HOST_PATH " info " VELTRANE_PLUGIN_PATH " > /dev/null"), 0);
  EXPECT_NE(std::system(VELTRANE_HOST_PATH " info /nonexistent.so 2> /dev/null"), 0);
  EXPECT_NE(std::system(VELTRANE_HOST_PATH " info " FIXTURE_NULL_EFFECT " 2> /dev/null"), 0);
  EXPECT_NE(std::system(VELTRANE_HOST_PATH " frobnicate 2> /dev/null"), 0);
}

TEST(PluginHostCommand, HelpGoesToStandardOutputAndBareNamesAreFilesHere) {
  EXPECT_EQ(std::system("usage=$(" VELTRANE_HOST_PATH " --help 2> /dev/null) && "
                        "echo \"$usage\" | grep -q 'veltrane-host validate'"),
            0);
  const std::filesystem::path plugin = VELTRANE_PLUGIN_PATH;
  const std::string here = "cd '" + plugin.parent_path().string() + "' && " VELTRANE_HOST_PATH;
  EXPECT_EQ(std::system((here + " info " + plugin.filename().string() + " > /dev/null").c_str()),
            0);
  // Not searched for in the library path, where dlopen would find it.
  EXPECT_NE(std::system((here + " info libc.so.6 2> /dev/null").c_str()), 0);
}

TEST(PluginHostCommand, InstallsWithThePlugin) {
  TempDir prefix;
  const std::string install = "cmake --install '" VELTRANE_BUILD_DIR "' --prefix '" +
                              prefix.path().string() + "' > /dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(prefix.path() / "lib/vst/Veltrane.so"));
  EXPECT_TRUE(std::filesystem::exists(prefix.path() / "bin/veltrane-host"));
}

}  // namespace
