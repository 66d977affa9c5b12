#include <cmath>
#include <limits>

#include "tests/presets/PresetTestSupport.h"

using namespace presettest;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Gives every preset a distinct name and distinct in-range values, so a load that mixes
// up presets, parameters or byte order cannot pass by accident.
void fillDistinct(Veltrane& effect, float offset) {
  for (int k = 0; k < kNumPresets; ++k) {
    effect.setPresetNameOf(k,
                           ("Preset " + std::to_string(k) + " v" + std::to_string(offset)).c_str());
    for (int i = 0; i < kNumPresetValues; ++i)
      if (!effect.isDummy(i))
        effect.setPresetValue(k, i, std::fmod(offset + 0.013f * i + 0.17f * k, 1.0f));
  }
}

// EQ all and LSR belong to the strip: selecting any preset copies them into all five.
bool isStripSetting(int index) { return index == kEqAll || index == kLsr; }

}  // namespace

class PresetBuffersTest : public PresetTest {};

TEST_F(PresetBuffersTest, BuffersHaveTheDocumentedSizesAndHeaders) {
  auto effect = makeEffect();
  auto& editor = editorOf(*effect);
  ASSERT_EQ(22u, savedParameters(*effect).size());
  effect->setPresetNo(3);
  CPresetSystemEditor::Buffer preset, bank;
  EXPECT_EQ(41 + 168 + 32 * 22, editor.PresetToBuffer(preset));
  EXPECT_EQ(41 + 5 * (168 + 32 * 22), editor.BankToBuffer(bank));
  // Byte for byte what a hand-written bank holds, header included.
  EXPECT_EQ(handBank(snapshot(*effect), savedParameters(*effect), false, 3).bytes, bank);
  EXPECT_EQ(std::vector<unsigned char>({'M', 'R', 'X', 'Q', 0x22}),
            std::vector<unsigned char>(preset.begin(), preset.begin() + 5));
}

TEST_F(PresetBuffersTest, PresetAndBankRoundTripInBothByteOrders) {
  auto effect = makeEffect();
  auto& editor = editorOf(*effect);
  fillDistinct(*effect, 0.3f);
  effect->setPresetNo(2);
  StoreSnapshot written = snapshot(*effect);
  CPresetSystemEditor::Buffer preset, bank;
  editor.PresetToBuffer(preset);
  editor.BankToBuffer(bank);

  for (bool reversed : {false, true}) {
    // Bank: everything comes back, and the saved current preset is selected.
    fillDistinct(*effect, 0.6f);
    effect->setPresetNo(0);
    auto bytes = reversed ? handBank(written, savedParameters(*effect), true, 2).bytes : bank;
    ASSERT_TRUE(editor.loadBankBuffer(bytes, false)) << reversed;
    EXPECT_EQ(written, snapshot(*effect)) << reversed;

    // Preset: into whichever preset is current.
    auto presetBytes = preset;
    if (reversed) {
      HandBuffer b(true);
      auto saved = savedParameters(*effect);
      auto params = static_cast<std::int32_t>(saved.size());
      b.header(0x22, 1 + params, 0, 168 + 32 * params).nameRecord(0, written.names[2].c_str());
      for (int i : saved) b.paramRecord(0, i, written.values[2][i]);
      presetBytes = b.bytes;
    }
    fillDistinct(*effect, 0.9f);
    effect->setPresetNo(2);
    ASSERT_TRUE(editor.loadPresetBuffer(presetBytes, false)) << reversed;
    EXPECT_EQ(written.values[2], snapshot(*effect).values[2]);
    EXPECT_EQ(written.names[2], snapshot(*effect).names[2]);
  }
}

TEST_F(PresetBuffersTest, OldPositionalFormatsLoadInBothByteOrders) {
  for (bool reversed : {false, true}) {
    auto effect = makeEffect();
    auto& editor = editorOf(*effect);
    StoreSnapshot before = snapshot(*effect);
    // Old preset of 28 positions: 0..27 are set (less the ignored ones), 28..39 keep defaults.
    effect->setPresetNo(1);
    HandBuffer preset(reversed);
    preset.u32(static_cast<std::uint32_t>(Veltrane::kUniqueId)).u8(0x21).name("Old preset");
    for (int i = 0; i < 28; ++i) preset.f32(0.01f * i);
    ASSERT_EQ(29u + 4 * 28, preset.bytes.size());
    ASSERT_TRUE(editor.loadPresetBuffer(preset.bytes, false));
    EXPECT_EQ(1, effect->getPresetNo());
    EXPECT_STREQ("Old preset", effect->presetName(1));
    for (int i = 0; i < kNumPresetValues; ++i) {
      float expected =
          (i < 28 && !effect->isDummyOld(i)) ? 0.01f * i : effect->getDefaultPreset().values[i];
      EXPECT_EQ(expected, effect->presetValue(1, i)) << i;
    }
    for (int i = 0; i < kNumPresetValues; ++i) {  // other presets untouched
      if (!isStripSetting(i)) {
        EXPECT_EQ(before.values[0][i], effect->presetValue(0, i)) << i;
      }
    }

    // Old bank of five blocks of 40 positions; afterwards preset 0 is selected.
    HandBuffer bank(reversed);
    bank.u32(static_cast<std::uint32_t>(Veltrane::kUniqueId)).u8(0x37);
    for (int k = 0; k < kNumPresets; ++k) {
      bank.name(("Old " + std::to_string(k)).c_str());
      for (int i = 0; i < 40; ++i) bank.f32(0.02f * i + 0.1f * k);
    }
    ASSERT_TRUE(editor.loadBankBuffer(bank.bytes, false));
    EXPECT_EQ(0, effect->getPresetNo());
    for (int k = 0; k < kNumPresets; ++k) {
      EXPECT_EQ("Old " + std::to_string(k), effect->presetName(k));
      for (int i = 0; i < 40; ++i) {
        if (!effect->isDummyOld(i) && (k == 0 || !isStripSetting(i))) {
          EXPECT_EQ(0.02f * i + 0.1f * k, effect->presetValue(k, i));
        }
      }
    }
  }
}

TEST_F(PresetBuffersTest, RejectedLoadsLeaveTheStoreAsItWas) {
  auto effect = makeEffect();
  auto& editor = editorOf(*effect);
  fillDistinct(*effect, 0.4f);
  effect->setPresetNo(2);
  const std::uint32_t id = static_cast<std::uint32_t>(Veltrane::kUniqueId);
  auto preset = [](std::int32_t items, std::int32_t dataSize) {
    HandBuffer b;
    b.header(0x22, items, 0, dataSize);
    return b;
  };
  auto bank = [](std::int32_t items, std::int32_t dataSize) {
    HandBuffer b;
    b.header(0x38, items, 0, dataSize);
    return b;
  };
  const int real = savedParameters(*effect).back();  // a position the old formats use
  auto oldPreset = [&](int values, float atReal) {
    HandBuffer b;
    b.u32(id).u8(0x21).name("x");
    for (int i = 0; i < values; ++i) b.f32(i == real ? atReal : 0.5f);
    return b;
  };
  struct Case {
    const char* what;
    bool isBank;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"preset value below 0", false,
       preset(3, 232).nameRecord(0, "n").paramRecord(0, 1, 0.2f).paramRecord(0, 2, -0.1f).bytes},
      {"preset value NaN", false, preset(2, 200).nameRecord(0, "n").paramRecord(0, 1, kNaN).bytes},
      {"preset negative count", false, preset(-1, 0).bytes},
      {"preset dataSize past end", false, preset(2, 200).nameRecord(0, "n").bytes},
      {"preset count past records", false,
       preset(5, 200).nameRecord(0, "n").paramRecord(0, 1, 0.2f).bytes},
      {"preset record size past end", false, preset(1, 32).i32(1).i32(1000).i32(0).zeros(20).bytes},
      {"preset record too short for its value", false,
       preset(1, 20).i32(1).i32(8).i32(0).zeros(8).bytes},
      {"preset header cut", false,
       [&] {
         auto bytes = preset(0, 0).bytes;
         bytes.pop_back();
         return bytes;
       }()},
      {"foreign ID", false, HandBuffer{}.u32(0x41424344).u8(0x22).zeros(36).bytes},
      {"unknown type", false, HandBuffer{}.u32(id).u8(0x40).zeros(36).bytes},
      {"bank type as preset", false, bank(0, 0).bytes},
      {"shorter than ID and type", false, HandBuffer{}.u32(id).bytes},
      {"old preset value above 1", false, oldPreset(40, 1.5f).bytes},
      {"old preset without a whole name", false, HandBuffer{}.u32(id).u8(0x21).zeros(20).bytes},
      {"bank value NaN", true,
       bank(4, 400)
           .nameRecord(0, "a")
           .paramRecord(0, 1, 0.1f)
           .nameRecord(1, "b")
           .paramRecord(1, 1, kNaN)
           .bytes},
      {"bank negative count", true, bank(-5, 0).bytes},
      {"bank cut inside a record", true, bank(2, 200).nameRecord(0, "a").i32(1).i32(20).bytes},
      {"old bank value out of range in block 3", true,
       [&] {
         HandBuffer b;
         b.u32(id).u8(0x37);
         for (int k = 0; k < 5; ++k) {
           b.name("o");
           for (int i = 0; i < 40; ++i) b.f32(k == 3 && i == real ? 2.0f : 0.5f);
         }
         return b.bytes;
       }()},
      {"old bank too short for its names", true, HandBuffer{}.u32(id).u8(0x37).zeros(10).bytes},
  };
  for (const auto& c : cases) {
    StoreSnapshot before = snapshot(*effect);
    bool loaded =
        c.isBank ? editor.loadBankBuffer(c.bytes, false) : editor.loadPresetBuffer(c.bytes, false);
    EXPECT_FALSE(loaded) << c.what;
    EXPECT_EQ(before, snapshot(*effect)) << c.what;
  }
}

TEST_F(PresetBuffersTest, BankValuesOutOfRangeAreCorrectedWithAMessage) {
  auto effect = makeEffect();
  auto& editor = editorOf(*effect);
  HandBuffer b;
  b.header(0x38, 6, 9, 0x7FFFFFFF)  // dataSize beyond the buffer: only what is there is read
      .nameRecord(2, "Loud snare")
      .paramRecord(2, 12, 1.5f)
      .paramRecord(2, 13, -std::numeric_limits<float>::infinity())
      .i32(7)
      .i32(4)
      .i32(2)
      .zeros(4)                         // a record type the reader skips
      .nameRecord(7, "no such preset")  // a preset number out of range: skipped
      .paramRecord(2, 55, 0.5f);        // a parameter number out of range: ignored
  StoreSnapshot before = snapshot(*effect);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(editor.loadBankBuffer(b.bytes, false));
  EXPECT_EQ(
      "Invalid parameter 12 value 1.500000 on load of preset 2 Loud snare\n"
      "Invalid parameter 13 value -inf on load of preset 2 Loud snare\n",
      testing::internal::GetCapturedStderr());
  EXPECT_EQ(1.0f, effect->presetValue(2, 12));
  EXPECT_EQ(0.0f, effect->presetValue(2, 13));
  EXPECT_EQ(effect->getDefaultPreset().values[14],
            effect->presetValue(2, 14));  // began from the defaults
  EXPECT_EQ(0, effect->getPresetNo());    // current preset 9 does not exist
  StoreSnapshot after = snapshot(*effect);
  for (int k : {0, 1, 3, 4}) {  // presets without records keep their contents
    EXPECT_EQ(before.names[k], after.names[k]);
    EXPECT_EQ(before.values[k], after.values[k]);
  }

  // Saving corrects too, and says so.
  const int real = savedParameters(*effect).back();
  effect->setPresetValue(1, real, 1.25f);
  CPresetSystemEditor::Buffer bank;
  testing::internal::CaptureStderr();
  editor.BankToBuffer(bank);
  EXPECT_EQ("Invalid parameter " + std::to_string(real) + " value 1.250000 on save of preset 1 " +
                std::string(effect->presetName(1)) + "\n",
            testing::internal::GetCapturedStderr());
  testing::internal::CaptureStderr();
  ASSERT_TRUE(editor.loadBankBuffer(bank, false));
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
  EXPECT_EQ(1.0f, effect->presetValue(1, real));
}

TEST_F(PresetBuffersTest, PresetRecordsMayOmitParametersAndLeaveThemAtDefaults) {
  auto effect = makeEffect();
  auto& editor = editorOf(*effect);
  effect->setPresetNo(4);
  for (int i = 0; i < kNumPresetValues; ++i) effect->setPresetValue(4, i, 0.9f);
  HandBuffer b;
  b.header(0x22, 2, 0, 200).nameRecord(0, "Sparse").paramRecord(0, 3, 0.25f);
  ASSERT_TRUE(editor.loadPresetBuffer(b.bytes, false));
  EXPECT_EQ(4, effect->getPresetNo());
  EXPECT_STREQ("Sparse", effect->presetName(4));
  for (int i = 0; i < kNumPresetValues; ++i)
    EXPECT_EQ(i == 3 ? 0.25f : effect->getDefaultPreset().values[i], effect->presetValue(4, i))
        << i;
  // The values reached the engine, not only the store.
  EXPECT_EQ(0.25f, effect->getParameter(3));
}
