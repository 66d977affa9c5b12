#include <limits>

#include "tests/presets/PresetTestSupport.h"

using namespace presettest;

class PresetBuffersTest : public PresetTest {
 protected:
  std::unique_ptr<Veltrane> effect = makeEffect();
  CPresetSystemEditor& editor = editorOf(*effect);
  // What a preset starts from before a load fills it: the first factory preset.
  const std::array<float, kNumPresetValues> factory = snapshot(*effect).values[0];
};

TEST_F(PresetBuffersTest, BuffersAreTheDocumentedBytesAndLoadFromEitherByteOrder) {
  fillDistinct(*effect, 0.3f);
  effect->setPresetNo(2);
  const StoreSnapshot written = snapshot(*effect);
  ASSERT_EQ(22u, savedParameters(*effect).size());
  CPresetSystemEditor::Buffer preset, bank;
  EXPECT_EQ(41 + 168 + 32 * 22 + 41 + 5 * (168 + 32 * 22),
            editor.PresetToBuffer(preset) + editor.BankToBuffer(bank));
  EXPECT_EQ(handBuffer(*effect, false, 0, 2), preset);
  EXPECT_EQ(handBuffer(*effect, false, 2), bank);
  EXPECT_EQ("MRXQ\"", std::string(preset.begin(), preset.begin() + 5)) << "this machine's order";
  const Bytes banks[] = {bank, handBuffer(*effect, true, 2)};
  const Bytes presets[] = {preset, handBuffer(*effect, true, 0, 2)};
  for (int reversed : {0, 1}) {
    // A bank brings everything back and selects the preset current when it was saved.
    fillDistinct(*effect, 0.6f);
    effect->setPresetNo(0);
    ASSERT_TRUE(editor.loadBankBuffer(banks[reversed], false));
    EXPECT_EQ(written, snapshot(*effect)) << reversed;
    // A preset lands in whichever preset is current, and only there; the values reach the
    // engine, the new name is announced, and the preset is selected again as a change of state.
    fillDistinct(*effect, 0.9f);
    effect->setPresetNo(4);
    StoreSnapshot expected = snapshot(*effect);
    expected.names[4] = written.names[2];
    for (int i : savedParameters(*effect)) expected.values[4][i] = written.values[2][i];
    hostCalls.clear();
    ASSERT_TRUE(editor.loadPresetBuffer(presets[reversed], false));
    EXPECT_EQ(expected, snapshot(*effect)) << reversed;
    EXPECT_EQ(written.values[2][kHpfFreq], effect->getParameter(kHpfFreq));
    EXPECT_EQ(hostCalls, (std::vector<VstInt32>{audioMasterUpdateDisplay, audioMasterUpdateDisplay,
                                                audioMasterBeginEdit, audioMasterEndEdit}));
  }
}

TEST_F(PresetBuffersTest, OldPositionalFormatsLoadInBothByteOrders) {
  for (bool reversed : {false, true}) {
    // Old preset of 28 positions: 0..27 are set (less the ignored ones), 28..39 keep defaults.
    fillDistinct(*effect, 0.5f);
    for (int k = 0; k < kNumPresets; ++k)  // positions the old formats carry but ignore
      for (int i = 2; i < kNumPresetValues; ++i)
        if (effect->isDummyOld(i)) effect->setPresetValue(k, i, 0.75f);
    effect->setPresetNo(1);
    StoreSnapshot expected = snapshot(*effect);
    HandBuffer preset(reversed);
    preset.id(0x21).name("Old preset");
    for (int i = 0; i < 28; ++i) preset.f32(0.01f * i);
    ASSERT_TRUE(editor.loadPresetBuffer(preset.bytes, false));
    expected.names[1] = "Old preset";
    for (int i = 2; i < kNumPresetValues; ++i)
      expected.values[1][i] = i < 28 && !effect->isDummyOld(i) ? 0.01f * i : factory[i];
    // EQ all and LSR are the strip's settings, not a preset's.
    for (int k = 0; k < kNumPresets; ++k)
      for (int i : {0, 1}) expected.values[k][i] = effect->presetValue(k, i);
    EXPECT_EQ(expected, snapshot(*effect)) << reversed;
    // Old bank of five blocks of 40 positions; afterwards preset 0 is selected.
    HandBuffer bank(reversed);
    bank.id(0x37);
    for (int k = 0; k < kNumPresets; ++k) {
      bank.name("Old " + std::to_string(k));
      for (int i = 0; i < 40; ++i) bank.f32(0.02f * i + 0.1f * k);
    }
    ASSERT_TRUE(editor.loadBankBuffer(bank.bytes, false));
    EXPECT_EQ(0, effect->getPresetNo());
    for (int k = 0; k < kNumPresets; ++k) {
      EXPECT_EQ("Old " + std::to_string(k), storedName(*effect, k));
      for (int i = 2; i < kNumPresetValues; ++i)
        EXPECT_EQ(effect->isDummyOld(i) ? factory[i] : 0.02f * i + 0.1f * k,
                  effect->presetValue(k, i))
            << k << " " << i;
    }
  }
}

TEST_F(PresetBuffersTest, RejectedLoadsLeaveTheStoreAsItWas) {
  fillDistinct(*effect, 0.4f);
  effect->setPresetNo(2);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto preset = [](unsigned n, unsigned size) { return HandBuffer().header(0x22, n, 0, size); };
  auto bank = [](unsigned n, unsigned size) { return HandBuffer().header(0x38, n, 0, size); };
  auto old = [](std::uint8_t type, int blocks, int badBlock, float bad) {
    HandBuffer b = HandBuffer().id(type);
    for (int k = 0; k < blocks; ++k) {
      b.name("o");
      for (int i = 0; i < 40; ++i) b.f32(k == badBlock && i == kHpfFreq ? bad : 0.5f);
    }
    return b.bytes;
  };
  const std::tuple<const char*, bool, Bytes> cases[] = {
      {"preset value below 0", false,
       preset(3, 232).nameRecord(0, "n").paramRecord(0, 9, 0.2f).paramRecord(0, 10, -0.1f).bytes},
      {"preset value NaN", false, preset(2, 200).nameRecord(0, "n").paramRecord(0, 9, nan).bytes},
      {"preset negative count", false, preset(-1u, 0).bytes},
      {"preset dataSize past end", false, preset(2, 200).nameRecord(0, "n").bytes},
      {"preset record too short for its value", false,
       preset(1, 20).u32(1).u32(8).u32(0).zeros(8).bytes},
      {"name record too short for a name", false,
       preset(1, 32).u32(0).u32(20).u32(0).zeros(20).bytes},
      {"preset header cut", false, HandBuffer().id(0x22).zeros(35).bytes},
      {"foreign ID", false, HandBuffer().id(0x22, 0x41424344).zeros(36).bytes},
      {"unknown type", false, HandBuffer().id(0x40).zeros(36).bytes},
      {"shorter than ID and type", false, HandBuffer().id(0x22).bytes},
      {"old preset value above 1", false, old(0x21, 1, 0, 1.5f)},
      {"old preset without a whole name", false, HandBuffer().id(0x21).zeros(20).bytes},
      {"bank value NaN", true,
       bank(4, 400)
           .nameRecord(0, "a")
           .paramRecord(0, 9, 0.1f)
           .nameRecord(1, "b")
           .paramRecord(1, 9, nan)
           .bytes},
      {"bank negative count", true, bank(-5u, 0).bytes},
      {"bank cut inside a record", true, bank(2, 200).nameRecord(0, "a").u32(1).u32(20).bytes},
      {"preset type as bank", true, preset(0, 0).bytes},
      {"old bank value out of range in block 3", true, old(0x37, 5, 3, 2.0f)},
      {"old bank too short for its names", true, HandBuffer().id(0x37).zeros(10).bytes},
  };
  for (const auto& [what, isBank, bytes] : cases) {
    const StoreSnapshot before = snapshot(*effect);
    EXPECT_FALSE(isBank ? editor.loadBankBuffer(bytes, false)
                        : editor.loadPresetBuffer(bytes, false))
        << what;
    EXPECT_EQ(before, snapshot(*effect)) << what;
  }
  // Nor are values for presets or parameters the store does not have.
  const StoreSnapshot before = snapshot(*effect);
  for (const auto& [number, index] : {std::pair{-1, 0}, {kNumPresets, 0}, {0, -1}, {0, 99}}) {
    effect->setPresetValue(number, index, 0.9f);
    EXPECT_EQ(effect->presetValue(number, index), 0.0f);
  }
  EXPECT_EQ(before, snapshot(*effect));
}

TEST_F(PresetBuffersTest, LoadsStartFromTheFirstFactoryPresetAndBanksCorrectValuesWithAMessage) {
  // A preset's records may leave parameters out; a name may be handed back to its own field.
  effect->setPresetNo(4);
  for (int i = 0; i < kNumPresetValues; ++i) effect->setPresetValue(4, i, 0.9f);
  ASSERT_TRUE(editor.loadPresetBuffer(
      HandBuffer().header(0x22, 2, 0, 200).nameRecord(0, "Sparse").paramRecord(0, 3, 0.25f).bytes,
      false));
  effect->setPresetName(effect->presetName(4));
  EXPECT_EQ("Sparse", storedName(*effect, 4));
  for (int i = 0; i < kNumPresetValues; ++i)
    EXPECT_EQ(i == 3 ? 0.25f : factory[i], effect->presetValue(4, i)) << i;
  // A bank record for parameter 12 of preset 2 with value 1.5 loads as 1.0 and says so.
  // The header's dataSize lies beyond the buffer: only what is there is read. A record of a
  // type the reader skips, a preset number and a parameter number out of range are passed over.
  HandBuffer b;
  b.header(0x38, 6, 9, 0x7FFFFFFF).nameRecord(2, "Loud snare").paramRecord(2, 12, 1.5f);
  b.paramRecord(2, 13, -std::numeric_limits<float>::infinity()).u32(7).u32(4).u32(2).zeros(4);
  b.nameRecord(7, "no such preset").paramRecord(2, 55, 0.5f);
  StoreSnapshot expected = snapshot(*effect);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(editor.loadBankBuffer(b.bytes, false));
  EXPECT_EQ(
      "Invalid parameter 12 value 1.500000 on load of preset 2 Loud snare\n"
      "Invalid parameter 13 value -inf on load of preset 2 Loud snare\n",
      testing::internal::GetCapturedStderr());
  expected.names[2] = "Loud snare";
  for (int i = 2; i < kNumPresetValues; ++i)
    expected.values[2][i] = i == 12 ? 1.0f : i == 13 ? 0.0f : factory[i];
  expected.presetNo = 0;  // current preset 9 does not exist; presets without records are kept
  EXPECT_EQ(expected, snapshot(*effect));
  // Saving corrects too, and says so.
  effect->setPresetValue(1, kHfGain, 1.25f);
  CPresetSystemEditor::Buffer saved;
  testing::internal::CaptureStderr();
  editor.BankToBuffer(saved);
  EXPECT_EQ(
      "Invalid parameter 27 value 1.250000 on save of preset 1 " + storedName(*effect, 1) + "\n",
      testing::internal::GetCapturedStderr());
  effect->setPresetValue(1, kHfGain, 1.0f);
  EXPECT_EQ(handBuffer(*effect, false, 0), saved);
}

// The state chunk: the bank behind an eight-byte head, and the old positional chunk.
namespace {

Bytes takeChunk(CPresetSystemEffect& effect) {
  void* data = nullptr;
  const VstInt32 size = effect.getChunk(&data, false);
  return Bytes(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
}

VstInt32 giveChunk(CPresetSystemEffect& effect, Bytes bytes) {
  return effect.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), false);
}

// Old chunk: format word, ID, count, preset to select, four unused words, then `blocks`
// blocks of a name and `values` floats.
HandBuffer oldChunk(bool reversed, std::uint32_t count, std::uint32_t select, int blocks,
                    int values, float (*value)(int preset, int index)) {
  HandBuffer b(reversed);
  b.u32(0x01000000).u32(Veltrane::kUniqueId).u32(count).u32(select).u32(1).u32(2).u32(3).u32(4);
  for (int k = 0; k < blocks; ++k) {
    b.name("Old chunk " + std::to_string(k));
    for (int i = 0; i < values; ++i) b.f32(value(k, i));
  }
  return b;
}

float oldValue(int preset, int index) { return index < 40 ? 0.01f * index + 0.1f * preset : 2.0f; }

// An effect of the same base that saves every one of its 40 parameters.
struct AllSavedEffect : CPresetSystemEffect {
  AllSavedEffect() : CPresetSystemEffect(recordingHost) {
    setEditor(new CPresetSystemEditor(this));
  }
  bool isDummy(int) override { return false; }
  bool isDummyOld(int) override { return false; }
  void processReplacing(float**, float**, VstInt32) override {}
};

}  // namespace

class ChunkTest : public PresetTest {};

TEST_F(ChunkTest, ChunkIsTheBankBehindAnEightByteHeadAndLoadsFromEitherByteOrder) {
  auto source = makeEffect();
  fillDistinct(*source, 0.1f);
  source->setPresetNo(3);
  const Bytes chunk = takeChunk(*source);
  ASSERT_EQ(8u + 41 + 5 * (168 + 32 * 22), chunk.size());
  EXPECT_EQ(HandBuffer().u32(0x02000000).u32(Veltrane::kUniqueId).bytes,
            Bytes(chunk.begin(), chunk.begin() + 8));
  Bytes reversed = HandBuffer(true).u32(0x02000000).u32(Veltrane::kUniqueId).bytes;
  const Bytes bank = handBuffer(*source, true, 3);
  reversed.insert(reversed.end(), bank.begin(), bank.end());
  for (const Bytes& bytes : {chunk, reversed}) {
    auto target = makeEffect();
    EXPECT_EQ(0, giveChunk(*target, bytes));
    EXPECT_EQ(snapshot(*source), snapshot(*target));
  }
  // With all 40 parameters saved the chunk is the largest there is, and fits.
  AllSavedEffect all, allTarget;
  EXPECT_EQ(snapshot(all).names,
            (std::array<std::string, 5>{"Current", "Drum Group", "Snare", "Over Heads", "Round"}))
      << "the base class's own factory names";
  fillDistinct(all, 0.7f);
  EXPECT_EQ(7289u, takeChunk(all).size());
  EXPECT_EQ(0, giveChunk(allTarget, takeChunk(all)));
  EXPECT_EQ(snapshot(all), snapshot(allTarget));
}

TEST_F(ChunkTest, OldChunksLoadInBothByteOrders) {
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed);
    auto effect = makeEffect();
    effect->setPresetNo(3);
    // 50 values per block: blocks lie beyond the old 952-byte work area and are still read.
    EXPECT_EQ(0, giveChunk(*effect, oldChunk(reversed, 5, 7, 5, 50, oldValue).bytes));
    EXPECT_EQ(0, effect->getPresetNo());  // preset 7 does not exist
    for (int k = 0; k < kNumPresets; ++k) {
      EXPECT_EQ("Old chunk " + std::to_string(k), storedName(*effect, k));
      for (int i : savedParameters(*effect))  // the same as the positions the old format uses
        EXPECT_EQ(i < 2 ? effect->presetValue(k, i) : oldValue(k, i), effect->presetValue(k, i))
            << k << "/" << i;
    }
    // Fewer presets and values than the store holds: the rest keeps its contents.
    const StoreSnapshot before = snapshot(*effect);
    EXPECT_EQ(0, giveChunk(*effect,
                           oldChunk(reversed, 2, 1, 2, 10, [](int, int) { return 0.25f; }).bytes));
    EXPECT_EQ(1, effect->getPresetNo());
    EXPECT_EQ(before.names[4], storedName(*effect, 4));
    EXPECT_EQ(snapshot(*makeEffect()).values[0][kLfFreq], effect->presetValue(1, kLfFreq));
  }
}

TEST_F(ChunkTest, RejectedChunksAnswerMinusOneAndChangeNothing) {
  auto effect = makeEffect();
  fillDistinct(*effect, 0.2f);
  effect->setPresetNo(2);
  const Bytes good = takeChunk(*effect);
  auto cut = [&](std::size_t size) { return Bytes(good.begin(), good.begin() + size); };
  auto withWord = [&](std::size_t at, std::uint32_t word) {
    Bytes bytes = good;
    std::memcpy(bytes.data() + at, &word, 4);
    return bytes;
  };
  const std::pair<const char*, Bytes> cases[] = {
      {"empty", {}},
      {"shorter than the head", cut(7)},
      {"foreign ID", withWord(4, 0x41424344)},
      {"unknown format word", withWord(0, 0x03000000)},
      {"current format cut inside the records", cut(good.size() - 3)},
      {"bank value NaN", withWord(8 + 41 + 168 + 24, 0x7FC00000)},
      {"old chunk shorter than its head", cut(20)},
      {"old chunk value out of range in the fourth preset",
       oldChunk(false, 5, 0, 5, 40,
                [](int k, int i) { return k == 3 && i == kHpfFreq ? 1.5f : 0.5f; })
           .bytes},
      // 100 bytes for five presets: blocks of 20 bytes, too short for the last name.
      {"old chunk too short for its names", oldChunk(false, 5, 0, 0, 0, oldValue).zeros(100).bytes},
  };
  for (const auto& [what, bytes] : cases) {
    const StoreSnapshot before = snapshot(*effect);
    EXPECT_EQ(-1, giveChunk(*effect, bytes)) << what;
    EXPECT_EQ(before, snapshot(*effect)) << what;
  }
  EXPECT_EQ(-1, effect->setChunk(nullptr, 100, false));
}
