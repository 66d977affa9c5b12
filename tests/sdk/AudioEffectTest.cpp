// The host's side of the VST 2.4 record: what the dispatcher answers and calls, texts cut to
// the hosts' buffers, the accumulating process entry, the calls back to the host, and the
// editor opcodes as a toolkit editor answers them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "sdk/AEffGUIEditor.h"
#include "sdk/AudioEffectX.h"

namespace {

std::vector<std::string> journal;
void note(const std::string& line) { journal.push_back(line); }

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
  if (opcode != audioMasterVersion)
    note("host " + std::to_string(opcode) + " " + std::to_string(index) + " " +
         std::to_string(value));
  if (opcode == audioMasterPinConnected) return index == 0 ? 0 : 1;
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

// Three programs, two channels each way; every call the dispatcher makes is noted.
struct ProbeEffect : AudioEffectX {
  ProbeEffect() : AudioEffectX(recordingHost, 3, 3) { setNumInputs(2); }
  ~ProbeEffect() override { note("deleted"); }
  void suspend() override { note("suspend"); }
  void resume() override { note("resume"); }
  void setSampleRate(float rate) override {
    AudioEffectX::setSampleRate(rate);
    note("rate " + std::to_string(static_cast<int>(rate)));
  }
  void setParameter(VstInt32 index, float value) override {
    note("set " + std::to_string(index) + " " + std::to_string(value));
  }
  void processReplacing(float** in, float** out, VstInt32 frames) override {
    for (int c = 0; c < writtenOutputs; ++c)
      for (int i = 0; i < frames; ++i) out[c][i] = in[c][i] * 2.0f;
  }
  VstInt32 getChunk(void** data, bool isPreset) override {
    *data = chunk;
    note(isPreset ? "get preset" : "get bank");
    return sizeof(chunk);
  }
  VstInt32 setChunk(void* data, VstInt32 size, bool isPreset) override {
    note((isPreset ? "set preset " : "set bank ") +
         std::string(static_cast<char*>(data), static_cast<size_t>(size)));
    return 0;
  }
  void getParameterName(VstInt32, char* text) override {
    std::strcpy(text, "AnExtremelyLongParameterName");
  }
  bool getEffectName(char* name) override {
    std::strcpy(name, "An effect name well beyond thirty-two characters");
    return true;
  }
  char chunk[4] = {'a', 'b', 'c', 'd'};
  int writtenOutputs = 2;
};

// A toolkit editor without a frame, open while it has the host's window; notes what it is
// asked and takes key-down only.
struct Editor : AEffGUIEditor {
  explicit Editor(AudioEffect* e) : AEffGUIEditor(e) { rect = {0, 0, 100, 200}; }
  bool open(void* window) override { return note("open"), AEffGUIEditor::open(window); }
  void close() override { note("close"), AEffGUIEditor::close(); }
  bool onKeyDown(VstKeyCode& k) override {
    note("key " + std::to_string(k.character) + " " + std::to_string(k.virt) + " " +
         std::to_string(k.modifier));
    return true;
  }
};

class SdkTest : public ::testing::Test {
 protected:
  void SetUp() override { journal.clear(); }
};

TEST_F(SdkTest, TheDispatcherAnswersAndCallsTheEffect) {
  auto* effect = new ProbeEffect;
  auto* editor = new Editor(effect);
  effect->setEditor(editor);
  AEffect* e = effect->getAeffect();
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_TRUE(e->flags & effFlagsHasEditor);
  void* data = nullptr;
  ERect* rect = nullptr;
  const void* chunk = effect->chunk;
  char payload[] = "xyz";  // also the host's window
  const struct {
    VstInt32 opcode, index;
    VstIntPtr value;
    void* ptr;
    float opt;
    VstIntPtr result;
    std::vector<std::string> calls;
  } rows[] = {
      {effSetSampleRate, 0, 0, nullptr, 48000.f, 0, {"rate 48000"}},
      {effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.f, 0, {"rate 96000"}},
      {effMainsChanged, 0, 1, nullptr, 0, 0, {"resume"}},
      {effMainsChanged, 0, 0, nullptr, 0, 0, {"suspend"}},
      {effSetProgram, 0, 2, nullptr, 0, 0, {}},
      {effSetProgram, 0, 3, nullptr, 0, 0, {}},  // no such program
      {effSetProgram, 0, -1, nullptr, 0, 0, {}},
      {effGetProgram, 0, 0, nullptr, 0, 2, {}},
      {effGetChunk, 1, 0, &data, 0, 4, {"get preset"}},
      {effGetChunk, 0, 0, &data, 0, 4, {"get bank"}},
      {effSetChunk, 1, 3, payload, 0, 0, {"set preset xyz"}},
      {effSetChunk, 0, 2, payload, 0, 0, {"set bank xy"}},
      // Refusals reach the host as failures and the effect never sees them.
      {effSetChunk, 0, -5, payload, 0, -1, {}},
      {effSetChunk, 0, 3, nullptr, 0, -1, {}},
      {effGetChunk, 0, 0, nullptr, 0, 0, {}},
      {effGetVstVersion, 0, 0, nullptr, 0, 2400, {}},
      {effIdentify, 0, 0, nullptr, 0, vstFourCC('N', 'v', 'E', 'f'), {}},
      {effCanBeAutomated, 1, 0, nullptr, 0, 1, {}},
      {effSetTotalSampleToProcess, 0, 77, nullptr, 0, 77, {}},
      {effEditGetRect, 0, 0, &rect, 0, 1, {}},
      {effEditOpen, 0, 0, nullptr, 0, 0, {"open", "close"}},  // no window: a failed open
      {effEditOpen, 0, 0, payload, 0, 1, {"open"}},
      {effEditOpen, 0, 0, payload, 0, 1, {"close", "open"}},  // again without closing
      {effSetEditKnobMode, 0, 2, nullptr, 0, 1, {}},
      {effEditIdle, 0, 0, nullptr, 0, 0, {}},
      // The modifier bits come as a float; one that is no byte means none.
      {effEditKeyDown, 'a', 3, nullptr, 2.f, 1, {"key 97 3 2"}},
      {effEditKeyDown, 'a', 3, nullptr, 255.f, 1, {"key 97 3 255"}},
      {effEditKeyDown, 'a', 3, nullptr, 256.f, 1, {"key 97 3 0"}},
      {effEditKeyDown, 'a', 3, nullptr, -1.f, 1, {"key 97 3 0"}},
      {effEditKeyDown, 'a', 3, nullptr, NAN, 1, {"key 97 3 0"}},
      {effEditKeyUp, 'a', 3, nullptr, 0, 0, {}},  // no frame to take it
      {effEditClose, 0, 0, nullptr, 0, 0, {"close"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.opcode);
    journal.clear();
    EXPECT_EQ(e->dispatcher(e, row.opcode, row.index, row.value, row.ptr, row.opt), row.result);
    EXPECT_EQ(journal, row.calls);
  }
  EXPECT_EQ(data, chunk);
  EXPECT_EQ(rect->right, 200);
  EXPECT_EQ(editor->getKnobMode(), 2);
  journal.clear();
  EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
  EXPECT_EQ(journal, std::vector<std::string>{"deleted"});
}

TEST_F(SdkTest, TextsAreCutToTheHostsBuffersAndNullOnesRefused) {
  ProbeEffect effect;
  AEffect* e = effect.getAeffect();
  char buffer[80];
  std::memset(buffer, 0x55, sizeof(buffer));
  e->dispatcher(e, effGetParamName, 0, 0, buffer, 0);
  EXPECT_STREQ(buffer, "AnExtrem");
  EXPECT_EQ(static_cast<unsigned char>(buffer[9]), 0x55);
  std::memset(buffer, 0x55, sizeof(buffer));
  EXPECT_EQ(e->dispatcher(e, effGetEffectName, 0, 0, buffer, 0), 1);
  EXPECT_EQ(std::strlen(buffer), 32u);
  EXPECT_EQ(static_cast<unsigned char>(buffer[33]), 0x55);
  for (VstInt32 opcode : {effGetParamName, effGetParamDisplay, effGetParamLabel, effGetProgramName,
                          effGetInputProperties, effGetOutputProperties, effGetParameterProperties,
                          effGetProgramNameIndexed, effCanDo, effProcessEvents, effGetEffectName,
                          effString2Parameter, effGetVendorString, effGetSpeakerArrangement})
    EXPECT_EQ(e->dispatcher(e, opcode, 0, 0, nullptr, 0), 0) << opcode;
}

TEST_F(SdkTest, CallsToTheHost) {
  ProbeEffect effect;
  effect.setParameterAutomated(2, 0.25f);
  EXPECT_TRUE(effect.isInputConnected(0)) << "the host answers 0 for a connected pin";
  EXPECT_FALSE(effect.isOutputConnected(1));
  effect.beginEdit(5);
  effect.endEdit(5);
  EXPECT_EQ(journal, (std::vector<std::string>{"set 2 0.250000", "host 0 2 0", "host 4 0 0",
                                               "host 4 1 1", "host 43 5 0", "host 44 5 0"}));
}

TEST_F(SdkTest, AccumulatingProcessAddsTheReplacingResult) {
  ProbeEffect effect;
  AEffect* e = effect.getAeffect();
  std::vector<float> inL(300, 1.0f), inR(300, 0.5f), outL(300, 10.0f), outR(300, 20.0f);
  float* in[] = {inL.data(), inR.data()};
  float* out[] = {outL.data(), outR.data()};
  e->process(e, in, out, 300);
  effect.writtenOutputs = 1;  // an output left alone keeps what the host had there
  e->process(e, in, out, 300);
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(outL[i], 14.0f) << i;
    ASSERT_EQ(outR[i], 21.0f) << i;
  }
  e->processReplacing(e, nullptr, out, 300);  // no input array: nothing happens
  e->processReplacing(e, in, out, -4);        // a negative count is an empty block
  EXPECT_EQ(outL[0], 14.0f);
}

}  // namespace
