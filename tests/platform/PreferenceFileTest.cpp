#include <gtest/gtest.h>

#include "platform/ByteOrder.h"
#include "platform/ByteWriter.h"
#include "platform/PreferenceFile.h"

namespace {

// A file built by hand with a correct checksum, so only what it holds can be at fault: entries
// of kind, key, stated value length and the value bytes there are.
using Entry = std::tuple<std::uint8_t, std::string, std::uint32_t, std::size_t>;
std::vector<unsigned char> build(std::uint32_t version, std::uint32_t count,
                                 std::vector<Entry> entries) {
  ByteWriter w(kSwapForLittleEndian);
  w.writeBytes("VTPF", 4);
  w.writeU32(version);
  w.writeU32(count);
  for (const auto& [kind, key, valueLength, valueBytes] : entries) {
    w.writeU8(kind);
    w.writeU32(static_cast<std::uint32_t>(key.size()));
    w.writeBytes(key.data(), key.size());
    w.writeU32(valueLength);
    w.writeZeros(valueBytes);
  }
  w.writeU32(crc32(w.bytes()));
  return w.release();
}

}  // namespace

TEST(PreferenceFile, TheStoredBytesAreLittleEndianWithATrailingCrc) {
  PreferenceMap entries;
  entries["CurrDir"] = {PreferenceKind::Text, {'/', 't', '/'}};
  entries["DefaultBank"] = {PreferenceKind::Bytes, {0xAB, 0}};
  // Magic, version, count; kind, key and value of each entry; the CRC-32 of all before it.
  const std::vector<unsigned char> expected = {
      'V', 'T', 'P', 'F', 1,   0,   0,    0,   2,    0,    0,    0,   1,   7,   0,
      0,   0,   'C', 'u', 'r', 'r', 'D',  'i', 'r',  3,    0,    0,   0,   '/', 't',
      '/', 2,   11,  0,   0,   0,   'D',  'e', 'f',  'a',  'u',  'l', 't', 'B', 'a',
      'n', 'k', 2,   0,   0,   0,   0xAB, 0,   0x8B, 0xAC, 0x07, 0xE6};
  EXPECT_EQ(encodePreferenceFile(entries), expected);
  EXPECT_EQ(parsePreferenceFile(expected), entries);
}

TEST(PreferenceFile, EveryTruncationFlippedByteAndStructuralFaultIsRejected) {
  const auto bytes = build(1, 2, {{1, "CurrDir", 5, 5}, {2, "DefaultBank", 300, 300}});
  ASSERT_TRUE(parsePreferenceFile(bytes));
  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    auto damaged = bytes;
    damaged.resize(length == bytes.size() ? length + 1 : length);  // or one byte too many
    EXPECT_FALSE(parsePreferenceFile(damaged)) << length;
  }
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    auto damaged = bytes;
    damaged[at] ^= 0x10;
    EXPECT_FALSE(parsePreferenceFile(damaged)) << at;
  }
  for (const auto& file :
       {build(2, 0, {}), build(1, 2, {{1, "A", 0, 0}, {1, "A", 0, 0}}),
        build(1, 1, {{3, "A", 0, 0}}), build(1, 1, {{1, "", 0, 0}}),
        build(1, 1, {{1, std::string("A\0B", 3), 0, 0}}), build(1, 1, {{2, "A", 100, 10}}),
        build(1, 1, {{2, "A", 0xFFFFFFFFu, 0}}), build(1, 2, {{1, "A", 0, 0}}),
        build(1, 0xFFFFFFFFu, {})})
    EXPECT_FALSE(parsePreferenceFile(file))
        << "version 2, a key twice, an unknown kind, an empty key, a zero byte "
           "in a key, values past the end, counts above the entries";
}
