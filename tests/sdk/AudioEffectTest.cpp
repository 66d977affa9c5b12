#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "sdk/AEffGUIEditor.h"
#include "sdk/AudioEffectX.h"

namespace {

std::vector<std::string>* journal = nullptr;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                        float opt) {
  if (journal)
    journal->push_back("host " + std::to_string(opcode) + " " + std::to_string(index) + " " +
                       std::to_string(value) + " " + std::to_string(opt));
  if (opcode == audioMasterPinConnected) return index == 0 ? 0 : 1;
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

class ProbeEffect : public AudioEffectX {
 public:
  explicit ProbeEffect(bool* destroyed = nullptr)
      : AudioEffectX(recordingHost, 1, 3), destroyed(destroyed) {
    setNumInputs(2);
    setNumOutputs(2);
  }
  ~ProbeEffect() override {
    if (destroyed) *destroyed = true;
  }
  void suspend() override { log("suspend"); }
  void resume() override { log("resume"); }
  void setParameter(VstInt32 index, float value) override {
    log("set " + std::to_string(index) + " " + std::to_string(value));
  }
  void processReplacing(float** in, float** out, VstInt32 frames) override {
    for (int c = 0; c < writtenOutputs; ++c)
      for (int i = 0; i < frames; ++i) out[c][i] = in[c][i] * 2.0f;
  }
  VstInt32 getChunk(void** data, bool isPreset) override {
    *data = chunk;
    log(isPreset ? "get preset chunk" : "get bank chunk");
    return sizeof(chunk);
  }
  VstInt32 setChunk(void* data, VstInt32 size, bool) override {
    log("set chunk " + std::string(static_cast<char*>(data), static_cast<size_t>(size)));
    return 0;
  }
  void getParameterName(VstInt32, char* text) override {
    std::strcpy(text, "AnExtremelyLongParameterName");
  }
  bool getEffectName(char* name) override {
    std::strcpy(name, "An effect name well beyond thirty-two characters");
    return true;
  }
  void log(const std::string& line) {
    if (journal) journal->push_back(line);
  }
  char chunk[4] = {'a', 'b', 'c', 'd'};
  int writtenOutputs = 2;
  bool* destroyed;
};

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override { journal = &lines; }
  void TearDown() override { journal = nullptr; }
  std::vector<std::string> lines;
};

TEST_F(JournalTest, DispatcherTurnsOpcodesIntoCalls) {
  auto* effect = new ProbeEffect;
  AEffect* e = effect->getAeffect();
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_EQ(e->object, effect);
  e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  e->dispatcher(e, effSetBlockSize, 0, 256, nullptr, 0);
  EXPECT_EQ(effect->getSampleRate(), 48000.0f);
  EXPECT_EQ(effect->getBlockSize(), 256);
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0);
  e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0);
  void* data = nullptr;
  EXPECT_EQ(e->dispatcher(e, effGetChunk, 1, 0, &data, 0), 4);
  EXPECT_EQ(data, effect->chunk);
  char payload[] = "xyz";
  e->dispatcher(e, effSetChunk, 0, 3, payload, 0);
  // Refusals reach the host as failures and the effect never sees them.
  EXPECT_EQ(e->dispatcher(e, effSetChunk, 0, -5, payload, 0), -1);
  EXPECT_EQ(e->dispatcher(e, effSetChunk, 0, 3, nullptr, 0), -1);
  EXPECT_EQ(e->dispatcher(e, effGetChunk, 0, 0, nullptr, 0), 0);
  lines.push_back("--");
  effect->setParameterAutomated(2, 0.25f);
  const std::vector<std::string> expected = {
      "resume", "suspend",        "get preset chunk",   "set chunk xyz",
      "--",     "set 2 0.250000", "host 0 2 0 0.250000"};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(e->dispatcher(e, effGetVstVersion, 0, 0, nullptr, 0), 2400);
  EXPECT_EQ(e->dispatcher(e, effIdentify, 0, 0, nullptr, 0), vstFourCC('N', 'v', 'E', 'f'));
  EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
}

TEST_F(JournalTest, CloseDeletesTheEffect) {
  bool destroyed = false;
  auto* effect = new ProbeEffect(&destroyed);
  AEffect* e = effect->getAeffect();
  EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
  EXPECT_TRUE(destroyed);
}

TEST_F(JournalTest, TextsAreCutToTheHostsBuffers) {
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
  // Null buffers and structures are refused, not written through.
  for (VstInt32 opcode : {effGetParamName, effGetParamDisplay, effGetProgramName, effGetEffectName,
                          effGetInputProperties, effGetParameterProperties, effEditGetRect,
                          effGetProgramNameIndexed, effCanDo, effProcessEvents})
    EXPECT_EQ(e->dispatcher(e, opcode, 0, 0, nullptr, 0), 0) << opcode;
}

// The host answers 0 for a connected pin.
TEST_F(JournalTest, PinQueriesReadTheInvertedAnswer) {
  ProbeEffect effect;
  EXPECT_TRUE(effect.isInputConnected(0));
  EXPECT_FALSE(effect.isInputConnected(1));
}

TEST_F(JournalTest, EditorOpcodesReachTheEditor) {
  auto* effect = new ProbeEffect;
  AEffect* e = effect->getAeffect();
  ERect* rect = nullptr;
  EXPECT_EQ(e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0), 0);  // no editor yet
  auto* editor = new AEffGUIEditor(effect);
  effect->setEditor(editor);
  EXPECT_TRUE(e->flags & effFlagsHasEditor);
  EXPECT_EQ(e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0), 1);
  EXPECT_NE(rect, nullptr);
  EXPECT_EQ(e->dispatcher(e, effSetEditKnobMode, 0, 2, nullptr, 0), 1);
  EXPECT_EQ(editor->getKnobMode(), 2);
  e->dispatcher(e, effClose, 0, 0, nullptr, 0);  // deletes the editor with the effect
}

TEST_F(JournalTest, KeyModifiersArriveAsBytes) {
  struct KeyEditor : AEffEditor {
    bool onKeyDown(VstKeyCode& key) override {
      last = key;
      return true;
    }
    VstKeyCode last{};
  };
  auto* effect = new ProbeEffect;
  auto* editor = new KeyEditor;
  effect->setEditor(editor);
  AEffect* e = effect->getAeffect();
  const struct {
    float opt;
    unsigned char modifier;
  } cases[] = {{2.0f, 2}, {15.0f, 15}, {300.0f, 0}, {-1.0f, 0}, {NAN, 0}, {1e30f, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(e->dispatcher(e, effEditKeyDown, 'a', 3, nullptr, c.opt), 1);
    EXPECT_EQ(editor->last.character, 'a');
    EXPECT_EQ(editor->last.virt, 3);
    EXPECT_EQ(editor->last.modifier, c.modifier) << c.opt;
  }
  e->dispatcher(e, effClose, 0, 0, nullptr, 0);
}

TEST_F(JournalTest, AccumulatingProcessAddsTheReplacingResult) {
  ProbeEffect effect;
  AEffect* e = effect.getAeffect();
  std::vector<float> inL(300, 1.0f), inR(300, 0.5f), outL(300, 10.0f), outR(300, 20.0f);
  float* in[] = {inL.data(), inR.data()};
  float* out[] = {outL.data(), outR.data()};
  e->process(e, in, out, 300);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(outL[i], 12.0f);
    EXPECT_EQ(outR[i], 21.0f);
  }
  // An output the effect leaves alone keeps what the host had there.
  effect.writtenOutputs = 1;
  e->process(e, in, out, 300);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(outR[i], 21.0f) << i;
  e->processReplacing(e, nullptr, out, 300);  // no input array: nothing happens
  e->processReplacing(e, in, out, -4);        // a negative count is an empty block
  EXPECT_EQ(outL[0], 14.0f);
}

}  // namespace
