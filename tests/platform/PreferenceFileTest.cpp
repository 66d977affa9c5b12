#include <gtest/gtest.h>

#include "platform/ByteOrder.h"
#include "platform/ByteWriter.h"
#include "platform/PreferenceFile.h"

namespace {

PreferenceMap sampleEntries() {
  PreferenceMap entries;
  entries["CurrDir"] = {PreferenceKind::Text, {'/', 't', 'm', 'p', '/'}};
  entries["DefaultBank"] = {PreferenceKind::Bytes, std::vector<unsigned char>(300, 0xAB)};
  entries["Empty"] = {PreferenceKind::Bytes, {}};
  return entries;
}

}  // namespace

TEST(PreferenceFile, EveryTruncationAndEveryFlippedByteIsRejected) {
  auto bytes = encodePreferenceFile(sampleEntries());
  for (std::size_t length = 0; length < bytes.size(); ++length)
    EXPECT_FALSE(parsePreferenceFile(std::span(bytes).first(length))) << length;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    auto damaged = bytes;
    damaged[at] ^= 0x10;
    EXPECT_FALSE(parsePreferenceFile(damaged)) << at;
  }
  auto longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(parsePreferenceFile(longer));
}

TEST(PreferenceFile, StructuralFaultsWithAValidChecksumAreRejected) {
  // Files built by hand, each with a correct checksum, so only the structure is at fault.
  auto build = [](auto fill) {
    ByteWriter writer(kSwapForLittleEndian);
    writer.writeBytes("VTPF", 4);
    fill(writer);
    writer.writeU32(crc32(writer.bytes()));
    return writer.release();
  };
  auto entry = [](ByteWriter& w, std::uint8_t kind, std::string key, std::uint32_t valueLength,
                  std::size_t valueBytes) {
    w.writeU8(kind);
    w.writeU32(static_cast<std::uint32_t>(key.size()));
    w.writeBytes(key.data(), key.size());
    w.writeU32(valueLength);
    w.writeZeros(valueBytes);
  };
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"version 2", build([](ByteWriter& w) {
         w.writeU32(2);
         w.writeU32(0);
       })},
      {"duplicate key", build([&](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(2);
         entry(w, 1, "A", 0, 0);
         entry(w, 1, "A", 0, 0);
       })},
      {"unknown kind", build([&](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(1);
         entry(w, 3, "A", 0, 0);
       })},
      {"empty key", build([&](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(1);
         entry(w, 1, "", 0, 0);
       })},
      {"key with zero byte", build([&](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(1);
         entry(w, 1, std::string("A\0B", 3), 0, 0);
       })},
      {"value past end", build([&](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(1);
         entry(w, 2, "A", 100, 10);
       })},
      {"huge value length", build([&](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(1);
         entry(w, 2, "A", 0xFFFFFFFFu, 0);
       })},
      {"count above entries", build([&](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(2);
         entry(w, 1, "A", 0, 0);
       })},
      {"huge count", build([](ByteWriter& w) {
         w.writeU32(1);
         w.writeU32(0xFFFFFFFFu);
       })},
  };
  for (const auto& c : cases) EXPECT_FALSE(parsePreferenceFile(c.bytes)) << c.what;
}
