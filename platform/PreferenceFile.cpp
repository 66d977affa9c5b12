#include "platform/PreferenceFile.h"

#include <array>
#include <cstring>

#include "platform/ByteOrder.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace {

constexpr unsigned char kMagic[4] = {'V', 'T', 'P', 'F'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kTrailerSize = 4;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr auto kCrcTable = makeCrcTable();

bool fail(std::string* problem, const char* why) {
  if (problem != nullptr) *problem = why;
  return false;
}

bool readEntry(ByteReader& reader, PreferenceMap& entries, std::string* problem) {
  std::uint8_t kind = 0;
  std::uint32_t keyLength = 0;
  if (!reader.readU8(kind) || !reader.readU32(keyLength)) return fail(problem, "truncated entry");
  if (kind != static_cast<std::uint8_t>(PreferenceKind::Text) &&
      kind != static_cast<std::uint8_t>(PreferenceKind::Bytes))
    return fail(problem, "unknown entry kind");
  if (keyLength == 0 || keyLength > kPreferenceMaxKeyLength || keyLength > reader.remaining())
    return fail(problem, "bad key length");
  std::string key(keyLength, '\0');
  reader.readBytes(key.data(), keyLength);
  if (!isValidPreferenceKey(key)) return fail(problem, "bad key");
  std::uint32_t valueLength = 0;
  if (!reader.readU32(valueLength)) return fail(problem, "truncated entry");
  if (valueLength > kPreferenceMaxValueLength || valueLength > reader.remaining())
    return fail(problem, "bad value length");
  PreferenceEntry entry;
  entry.kind = static_cast<PreferenceKind>(kind);
  entry.value.resize(valueLength);
  reader.readBytes(entry.value.data(), valueLength);
  if (!entries.emplace(std::move(key), std::move(entry)).second)
    return fail(problem, "duplicate key");
  return true;
}

std::nullopt_t reject(std::string* problem, const char* why) {
  fail(problem, why);
  return std::nullopt;
}

}  // namespace

std::uint32_t crc32(std::span<const unsigned char> bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) c = kCrcTable[(c ^ byte) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

bool isValidPreferenceKey(std::string_view key) {
  return !key.empty() && key.size() <= kPreferenceMaxKeyLength &&
         key.find('\0') == std::string_view::npos;
}

std::optional<PreferenceMap> parsePreferenceFile(std::span<const unsigned char> bytes,
                                                 std::string* problem) {
  if (bytes.size() > kPreferenceMaxFileSize) return reject(problem, "file too large");
  if (bytes.size() < sizeof kMagic + 8 + kTrailerSize) return reject(problem, "file too short");
  if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    return reject(problem, "not a preference file");

  auto body = bytes.first(bytes.size() - kTrailerSize);
  ByteReader trailer(bytes.last(kTrailerSize), kSwapForLittleEndian);
  std::uint32_t storedCrc = 0;
  trailer.readU32(storedCrc);
  if (storedCrc != crc32(body)) return reject(problem, "checksum mismatch");

  ByteReader reader(body, kSwapForLittleEndian);
  reader.skip(sizeof kMagic);
  std::uint32_t version = 0;
  std::uint32_t count = 0;
  reader.readU32(version);
  reader.readU32(count);
  if (version != kVersion) return reject(problem, "unknown version");
  if (count > kPreferenceMaxEntries) return reject(problem, "too many entries");

  PreferenceMap entries;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!readEntry(reader, entries, problem)) return std::nullopt;
  }
  if (reader.remaining() != 0) return reject(problem, "trailing bytes");
  return entries;
}

std::vector<unsigned char> encodePreferenceFile(const PreferenceMap& entries) {
  ByteWriter writer(kSwapForLittleEndian);
  writer.writeBytes(kMagic, sizeof kMagic);
  writer.writeU32(kVersion);
  writer.writeU32(static_cast<std::uint32_t>(entries.size()));
  for (const auto& [key, entry] : entries) {
    writer.writeU8(static_cast<std::uint8_t>(entry.kind));
    writer.writeU32(static_cast<std::uint32_t>(key.size()));
    writer.writeBytes(key.data(), key.size());
    writer.writeU32(static_cast<std::uint32_t>(entry.value.size()));
    writer.writeBytes(entry.value.data(), entry.value.size());
  }
  std::uint32_t checksum = crc32(writer.bytes());
  writer.writeU32(checksum);
  return writer.release();
}
