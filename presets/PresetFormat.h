#pragma once

// The record-based preset and bank buffers (files, chunk payload, stored defaults and
// memories) and the pieces of the older positional formats: sizes, the 41-byte
// `newpresetheader`, the record heads and the walk over records. Everything is read
// through ByteReader, so no parser here reads past the bytes it was given.

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "presets/PresetRecord.h"

inline constexpr std::size_t kHeaderSize = 41;
inline constexpr std::size_t kIdAndTypeSize = 5;
inline constexpr std::size_t kRecordHeadSize = 12;
inline constexpr std::int32_t kNameRecordBodySize = 156;
inline constexpr std::int32_t kParamRecordBodySize = 20;
inline constexpr std::size_t kNameRecordSize = kRecordHeadSize + kNameRecordBodySize;    // 168
inline constexpr std::size_t kParamRecordSize = kRecordHeadSize + kParamRecordBodySize;  // 32
// Old positional formats: "ID type name floats..." and "ID type (name floats...) x 5".
inline constexpr std::size_t kOldPresetFixedSize = kIdAndTypeSize + kPresetNameLength;  // 29

inline constexpr std::uint8_t kTypeOldPreset = 0x21;
inline constexpr std::uint8_t kTypePreset = 0x22;
inline constexpr std::uint8_t kTypeOldBank = 0x37;
inline constexpr std::uint8_t kTypeBank = 0x38;

inline constexpr std::int32_t kFormatVersion = 0x01080000;
inline constexpr std::int32_t kRecordTypeName = 0;
inline constexpr std::int32_t kRecordTypeParam = 1;

// In memory a plain struct; on disk 41 bytes without padding, written field by field.
struct newpresetheader {
  std::int32_t pluginID = 0;
  std::uint8_t fileType = 0;
  std::int32_t version = 0;
  std::int32_t numParams = 0;
  std::int32_t numItems = 0;
  std::int32_t currentPreset = 0;
  std::int32_t dataSize = 0;
  std::uint32_t reserved[4] = {0, 0, 0, 0};
};

// Reverses the nine 32-bit fields after the ID (the ID has been dealt with already; the
// type is one byte).
void byteSwapHeader(newpresetheader& header);

// Reads the 41 bytes as stored, without reversal; false when fewer bytes are given.
bool readHeader(std::span<const unsigned char> bytes, newpresetheader& header);
void writeHeader(ByteWriter& writer, const newpresetheader& header);

enum class IdOrder { Native, Reversed, Foreign };

// How the four bytes at the start of `bytes` relate to `pluginId`. Foreign when fewer
// than four bytes are given.
IdOrder matchPluginId(std::span<const unsigned char> bytes, std::int32_t pluginId);

// Header of a whole record-based buffer (ID at offset 0), byte-reversed when `swap`, and
// the records after it: dataSize bytes, or as many as were supplied when fewer. False
// when the buffer is shorter than a header.
bool readBufferHeader(std::span<const unsigned char> bytes, bool swap, newpresetheader& header,
                      std::span<const unsigned char>& records);

// Name records keep at most 23 characters; the rest of the field is zero.
void writeNameRecord(ByteWriter& writer, std::int32_t presetIndex, const char* name);
void writeParamRecord(ByteWriter& writer, std::int32_t presetIndex, std::int32_t paramIndex,
                      float value);

struct PresetRecordView {
  std::int32_t recordType = 0;
  std::int32_t presetIndex = 0;
  ByteReader body;  // the recordSize bytes after the head
};

// Steps through the records of a buffer. A record whose head or body would reach past
// the supplied bytes ends the walk as Truncated: the data is damaged.
class RecordWalker {
 public:
  enum class Step { Record, Truncated };
  RecordWalker(std::span<const unsigned char> records, bool swap) : reader_(records, swap) {}
  Step next(PresetRecordView& record);

 private:
  ByteReader reader_;
};

// Name field of a name record: false when the body is shorter than a name. The result
// is a stored name: at most 23 characters, zero-filled.
bool readRecordName(ByteReader body, char (&name)[kPresetNameLength]);
// paramIndex and value of a parameter record: false when the body is too short.
bool readRecordParam(ByteReader body, std::int32_t& paramIndex, float& value);

// Copies a name into a 24-byte field by the stored-name rule: at most 23 characters
// (up to the first zero byte among the given ones), zero-filled.
void copyStoredName(char (&field)[kPresetNameLength], const char* text, std::size_t available);
