#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/ByteOrder.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

TEST(ByteOrder, SwapReversesFourBytesInPlace) {
  unsigned char word[6] = {1, 2, 3, 4, 9, 9};
  mySwapBytes(word);
  const unsigned char expected[6] = {4, 3, 2, 1, 9, 9};
  EXPECT_EQ(0, std::memcmp(word, expected, 6));
  mySwapBytes(nullptr);  // must not crash
}

TEST(ByteCodec, WriterAndReaderAgreeInBothOrders) {
  for (bool swap : {false, true}) {
    ByteWriter writer(swap);
    writer.writeU8(0x22);
    writer.writeI32(-5);
    writer.writeU32(0x01080000u);
    writer.writeFloat(0.25f);
    writer.writeBytes("ab", 2);
    ByteReader reader(writer.bytes(), swap);
    std::uint8_t type = 0;
    std::int32_t count = 0;
    std::uint32_t version = 0;
    float value = 0;
    char text[2];
    EXPECT_TRUE(reader.readU8(type) && reader.readI32(count) && reader.readU32(version) && reader.readFloat(value) &&
                reader.readBytes(text, 2));
    EXPECT_EQ(0x22, type);
    EXPECT_EQ(-5, count);
    EXPECT_EQ(0x01080000u, version);
    EXPECT_EQ(0.25f, value);
    EXPECT_EQ(0, reader.remaining());
    // The swapped writer really writes the other order: the version's top byte comes first.
    std::uint32_t raw = 0;
    std::memcpy(&raw, writer.bytes().data() + 5, 4);
    EXPECT_EQ(swap ? swapped32(0x01080000u) : 0x01080000u, raw);
  }
}

TEST(ByteCodec, ReadsPastTheEndFailAndYieldZero) {
  const unsigned char data[6] = {1, 2, 3, 4, 5, 6};
  ByteReader reader(data, 6, false);
  std::uint32_t first = 0, second = 7;
  EXPECT_TRUE(reader.readU32(first));
  EXPECT_FALSE(reader.readU32(second));  // only two bytes left
  EXPECT_EQ(0u, second);
  EXPECT_TRUE(reader.failed());
  std::uint8_t byte = 7;
  EXPECT_FALSE(reader.readU8(byte));  // a failed reader stays failed
  EXPECT_EQ(0, byte);

  struct Case {
    std::size_t skipFirst;
    std::size_t take;
    bool ok;
  } cases[] = {{0, 6, true}, {0, 7, false}, {2, 4, true}, {2, 5, false}, {6, 0, true}, {0, SIZE_MAX, false}};
  for (const auto& c : cases) {
    ByteReader r(data, 6, false);
    ByteReader part;
    ASSERT_TRUE(r.skip(c.skipFirst));
    EXPECT_EQ(c.ok, r.take(c.take, part)) << c.skipFirst << "+" << c.take;
    EXPECT_EQ(c.ok ? c.take : 0, part.remaining());
  }

  ByteReader empty(nullptr, 100, false);  // a null pointer is empty whatever the size says
  EXPECT_EQ(0u, empty.remaining());
}
