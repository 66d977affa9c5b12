#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/ByteOrder.h"
#include "presets/PresetFormat.h"

namespace {

constexpr std::int32_t kId = 'Q' << 24 | 'X' << 16 | 'R' << 8 | 'M';

void put32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value, bool reversed) {
  if (reversed) value = swapped32(value);
  std::memcpy(bytes.data() + at, &value, 4);
}

}  // namespace

TEST(PresetFormat, HeaderIsFortyOneBytesAtFixedOffsetsInEitherOrder) {
  for (bool reversed : {false, true}) {
    // Laid out by hand at the documented offsets.
    std::vector<unsigned char> bytes(kHeaderSize, 0);
    put32(bytes, 0, kId, reversed);
    bytes[4] = kTypeBank;
    put32(bytes, 5, 0x01080000, reversed);
    put32(bytes, 9, 40, reversed);
    put32(bytes, 13, 5 * (1 + 22), reversed);
    put32(bytes, 17, 3, reversed);
    put32(bytes, 21, 5 * (168 + 32 * 22), reversed);
    put32(bytes, 37, 0xA1B2C3D4u, reversed);

    EXPECT_EQ(reversed ? IdOrder::Reversed : IdOrder::Native, matchPluginId(bytes, kId));
    newpresetheader header;
    ASSERT_TRUE(readHeader(bytes, header));
    if (reversed) byteSwapHeader(header);
    EXPECT_EQ(kTypeBank, header.fileType);
    EXPECT_EQ(0x01080000, header.version);
    EXPECT_EQ(40, header.numParams);
    EXPECT_EQ(115, header.numItems);
    EXPECT_EQ(3, header.currentPreset);
    EXPECT_EQ(4360, header.dataSize);
    EXPECT_EQ(0xA1B2C3D4u, header.reserved[3]);

    if (!reversed) {
      ByteWriter writer;
      writeHeader(writer, header);
      EXPECT_EQ(bytes, writer.bytes());
    }
  }
  std::vector<unsigned char> shortHeader(kHeaderSize - 1, 0);
  newpresetheader header;
  EXPECT_FALSE(readHeader(shortHeader, header));
  EXPECT_EQ(IdOrder::Foreign, matchPluginId(std::vector<unsigned char>{'M', 'R', 'X'}, kId));
  EXPECT_EQ(IdOrder::Foreign, matchPluginId(std::vector<unsigned char>{'A', 'B', 'C', 'D'}, kId));
}

TEST(PresetFormat, RecordsHaveTheirFixedSizesAndReadBack) {
  for (bool swap : {false, true}) {
    ByteWriter writer(swap);
    writeNameRecord(writer, 2, "A name that is far too long for the field");
    writeParamRecord(writer, 2, 12, 0.75f);
    ASSERT_EQ(kNameRecordSize + kParamRecordSize, writer.size());
    EXPECT_EQ(0.75f, [&] {
      float value;
      std::memcpy(&value, writer.bytes().data() + kNameRecordSize + 24, 4);
      if (swap) mySwapBytes(&value);
      return value;
    }());

    RecordWalker walker(writer.bytes(), swap);
    PresetRecordView record;
    ASSERT_EQ(RecordWalker::Step::Record, walker.next(record));
    EXPECT_EQ(kRecordTypeName, record.recordType);
    EXPECT_EQ(2, record.presetIndex);
    char name[kPresetNameLength];
    ASSERT_TRUE(readRecordName(record.body, name));
    EXPECT_STREQ("A name that is far too ", name);  // 23 characters kept

    ASSERT_EQ(RecordWalker::Step::Record, walker.next(record));
    std::int32_t index = 0;
    float value = 0;
    ASSERT_TRUE(readRecordParam(record.body, index, value));
    EXPECT_EQ(12, index);
    EXPECT_EQ(0.75f, value);
    EXPECT_EQ(RecordWalker::Step::Truncated, walker.next(record));  // nothing left
  }
}

TEST(PresetFormat, WalkStopsAtRecordsReachingPastTheData) {
  ByteWriter good;
  writeParamRecord(good, 0, 1, 0.5f);
  struct Case {
    const char* what;
    std::size_t keep;         // bytes of the record supplied
    std::int32_t recordSize;  // as stated in its head
  } cases[] = {
      {"head cut", 8, 20}, {"body cut", 31, 20}, {"size past end", 32, 21}, {"negative size", 32, -12},
      {"huge size", 32, 0x7FFFFFFF},
  };
  for (const auto& c : cases) {
    std::vector<unsigned char> bytes = good.bytes();
    std::memcpy(bytes.data() + 4, &c.recordSize, 4);
    bytes.resize(c.keep);
    RecordWalker walker(bytes, false);
    PresetRecordView record;
    EXPECT_EQ(RecordWalker::Step::Truncated, walker.next(record)) << c.what;
  }
  // A record too short for its own fields is reported by the field readers.
  ByteWriter tiny;
  tiny.writeI32(kRecordTypeParam);
  tiny.writeI32(8);
  tiny.writeI32(0);
  tiny.writeZeros(8);
  RecordWalker walker(tiny.bytes(), false);
  PresetRecordView record;
  ASSERT_EQ(RecordWalker::Step::Record, walker.next(record));
  std::int32_t index;
  float value;
  EXPECT_FALSE(readRecordParam(record.body, index, value));
  char name[kPresetNameLength];
  EXPECT_FALSE(readRecordName(record.body, name));
}
