#include <cmath>

#include "tests/presets/PresetTestSupport.h"

using namespace presettest;

namespace {

void scramble(Veltrane& effect) {
  for (int k = 0; k < kNumPresets; ++k) {
    effect.setPresetNameOf(k, ("Chunk " + std::to_string(k)).c_str());
    for (int i = 2; i < kNumPresetValues; ++i)
      if (!effect.isDummy(i)) effect.setPresetValue(k, i, std::fmod(0.07f * i + 0.11f * k, 1.0f));
  }
}

std::vector<unsigned char> takeChunk(Veltrane& effect) {
  void* data = nullptr;
  VstInt32 size = effect.getChunk(&data, false);
  auto* bytes = static_cast<unsigned char*>(data);
  return bytes ? std::vector<unsigned char>(bytes, bytes + size) : std::vector<unsigned char>{};
}

VstInt32 giveChunk(Veltrane& effect, std::vector<unsigned char> bytes) {
  return effect.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), false);
}

// Old chunk: format word, ID, count, preset to select, four unused words, then blocks.
HandBuffer oldChunk(bool reversed, std::int32_t count, std::int32_t select, int blocks, int values,
                    float (*value)(int preset, int index)) {
  HandBuffer b(reversed);
  b.u32(0x01000000).u32(static_cast<std::uint32_t>(Veltrane::kUniqueId)).i32(count).i32(select);
  b.u32(1).u32(2).u32(3).u32(4);
  for (int k = 0; k < blocks; ++k) {
    b.name(("Old chunk " + std::to_string(k)).c_str());
    for (int i = 0; i < values; ++i) b.f32(value(k, i));
  }
  return b;
}

float oldValue(int preset, int index) { return 0.01f * index + 0.1f * preset; }

}  // namespace

class ChunkTest : public PresetTest {};

TEST_F(ChunkTest, ChunkIsTheBankBehindAnEightByteHeadAndRoundTrips) {
  auto source = makeEffect();
  scramble(*source);
  source->setPresetNo(3);
  auto chunk = takeChunk(*source);
  ASSERT_EQ(8u + 41 + 5 * (168 + 32 * 22), chunk.size());
  EXPECT_EQ(HandBuffer().u32(0x02000000).u32(static_cast<std::uint32_t>(Veltrane::kUniqueId)).bytes,
            std::vector<unsigned char>(chunk.begin(), chunk.begin() + 8));

  auto target = makeEffect();
  EXPECT_EQ(0, giveChunk(*target, chunk));
  EXPECT_EQ(snapshot(*source), snapshot(*target));
  EXPECT_EQ(3, target->getPresetNo());
}

TEST_F(ChunkTest, ChunkFromAMachineOfTheOtherByteOrderLoadsTheSame) {
  auto source = makeEffect();
  scramble(*source);
  source->setPresetNo(1);
  StoreSnapshot expected = snapshot(*source);

  // Every field reversed, built by hand.
  HandBuffer reversed(true);
  reversed.u32(0x02000000).u32(static_cast<std::uint32_t>(Veltrane::kUniqueId));
  auto bank = handBank(expected, savedParameters(*source), true, 1).bytes;
  reversed.bytes.insert(reversed.bytes.end(), bank.begin(), bank.end());

  auto target = makeEffect();
  EXPECT_EQ(0, giveChunk(*target, reversed.bytes));
  EXPECT_EQ(expected, snapshot(*target));
}

TEST_F(ChunkTest, OldChunksLoadInBothByteOrders) {
  for (bool reversed : {false, true}) {
    auto effect = makeEffect();
    EXPECT_EQ(0, giveChunk(*effect, oldChunk(reversed, 5, 7, 5, 40, oldValue).bytes)) << reversed;
    EXPECT_EQ(0, effect->getPresetNo());  // preset 7 does not exist
    for (int k = 0; k < kNumPresets; ++k) {
      EXPECT_EQ("Old chunk " + std::to_string(k), effect->presetName(k));
      for (int i = 2; i < kNumPresetValues; ++i)
        if (!effect->isDummyOld(i)) {
          EXPECT_EQ(oldValue(k, i), effect->presetValue(k, i)) << k << "/" << i;
        }
    }
    // Fewer presets and values than the store holds: the rest keeps its contents.
    auto before = snapshot(*effect);
    EXPECT_EQ(0, giveChunk(*effect,
                           oldChunk(reversed, 2, 1, 2, 10, [](int, int) { return 0.25f; }).bytes));
    EXPECT_EQ(1, effect->getPresetNo());
    EXPECT_EQ(before.names[4], effect->presetName(4));
    EXPECT_EQ(effect->getDefaultPreset().values[20], effect->presetValue(1, 20));
  }
}

TEST_F(ChunkTest, RejectedChunksAnswerMinusOneAndChangeNothing) {
  auto effect = makeEffect();
  scramble(*effect);
  effect->setPresetNo(2);
  auto good = takeChunk(*effect);
  auto cut = [&](std::size_t size) {
    return std::vector<unsigned char>(good.begin(), good.begin() + size);
  };
  auto withWord = [&](std::size_t at, std::uint32_t word) {
    auto bytes = good;
    std::memcpy(bytes.data() + at, &word, 4);
    return bytes;
  };
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"empty", {}},
      {"shorter than the head", cut(7)},
      {"foreign ID", withWord(4, 0x41424344)},
      {"unknown format word", withWord(0, 0x03000000)},
      {"current format without a whole header", cut(8 + 40)},
      {"current format cut inside the records", cut(good.size() - 3)},
      {"bank value NaN", withWord(8 + 41 + 168 + 24, 0x7FC00000)},
      {"bank with a negative count", withWord(8 + 13, 0xFFFFFFFF)},
      {"old chunk shorter than its head", cut(20)},
      {"old chunk value out of range in the fourth preset",
       oldChunk(false, 5, 0, 5, 40,
                [](int k, int i) { return k == 3 && i == kHpfFreq ? 1.5f : 0.5f; })
           .bytes},
      // 100 bytes for five presets: blocks of 20 bytes, too short for the last name.
      {"old chunk too short for its names", oldChunk(false, 5, 0, 0, 0, oldValue).zeros(100).bytes},
  };
  for (const auto& c : cases) {
    auto before = snapshot(*effect);
    EXPECT_EQ(-1, giveChunk(*effect, c.bytes)) << c.what;
    EXPECT_EQ(before, snapshot(*effect)) << c.what;
  }
  EXPECT_EQ(-1, effect->setChunk(nullptr, 100, false));
}

TEST_F(ChunkTest, ChunkOfTheOldFormatMayHoldMoreValuesThanTheStore) {
  // 50 values per block: blocks lie beyond the old 952-byte work area and are still read.
  auto effect = makeEffect();
  auto value = [](int k, int i) {
    return i < 40 ? 0.2f * k : 2.0f;
  };  // unused positions may hold anything
  EXPECT_EQ(0, giveChunk(*effect, oldChunk(false, 5, 4, 5, 50, value).bytes));
  EXPECT_EQ(4, effect->getPresetNo());
  EXPECT_EQ("Old chunk 4", std::string(effect->presetName(4)));
  EXPECT_EQ(0.8f, effect->presetValue(4, kHpfFreq));
  EXPECT_EQ(0.6f, effect->presetValue(3, kHpfFreq));
}
