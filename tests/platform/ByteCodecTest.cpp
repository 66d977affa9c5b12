#include <gtest/gtest.h>

#include "platform/ByteReader.h"

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
  } cases[] = {{0, 6, true},  {0, 7, false}, {2, 4, true},
               {2, 5, false}, {6, 0, true},  {0, SIZE_MAX, false}};
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
