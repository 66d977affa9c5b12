#include "presets/PresetFormat.h"

#include <algorithm>
#include <cstring>

#include "platform/ByteOrder.h"

void byteSwapHeader(newpresetheader& header) {
  auto swapField = [](auto& field) {
    field = static_cast<std::remove_reference_t<decltype(field)>>(
        swapped32(static_cast<std::uint32_t>(field)));
  };
  swapField(header.version);
  swapField(header.numParams);
  swapField(header.numItems);
  swapField(header.currentPreset);
  swapField(header.dataSize);
  for (auto& word : header.reserved) swapField(word);
}

bool readHeader(std::span<const unsigned char> bytes, newpresetheader& header) {
  header = {};
  if (bytes.size() < kHeaderSize) return false;
  ByteReader reader(bytes.first(kHeaderSize), false);
  reader.readI32(header.pluginID);
  reader.readU8(header.fileType);
  reader.readI32(header.version);
  reader.readI32(header.numParams);
  reader.readI32(header.numItems);
  reader.readI32(header.currentPreset);
  reader.readI32(header.dataSize);
  for (auto& word : header.reserved) reader.readU32(word);
  return !reader.failed();
}

void writeHeader(ByteWriter& writer, const newpresetheader& header) {
  writer.writeI32(header.pluginID);
  writer.writeU8(header.fileType);
  writer.writeI32(header.version);
  writer.writeI32(header.numParams);
  writer.writeI32(header.numItems);
  writer.writeI32(header.currentPreset);
  writer.writeI32(header.dataSize);
  for (auto word : header.reserved) writer.writeU32(word);
}

bool readBufferHeader(std::span<const unsigned char> bytes, bool swap, newpresetheader& header,
                      std::span<const unsigned char>& records) {
  records = {};
  if (!readHeader(bytes, header)) return false;
  if (swap) byteSwapHeader(header);
  std::size_t available = bytes.size() - kHeaderSize;
  std::size_t wanted = header.dataSize > 0 ? static_cast<std::size_t>(header.dataSize) : 0;
  records = bytes.subspan(kHeaderSize, std::min(wanted, available));
  return true;
}

IdOrder matchPluginId(std::span<const unsigned char> bytes, std::int32_t pluginId) {
  ByteReader reader(bytes, false);
  std::uint32_t stored = 0;
  if (!reader.readU32(stored)) return IdOrder::Foreign;
  auto id = static_cast<std::uint32_t>(pluginId);
  if (stored == id) return IdOrder::Native;
  if (stored == swapped32(id)) return IdOrder::Reversed;
  return IdOrder::Foreign;
}

void writeNameRecord(ByteWriter& writer, std::int32_t presetIndex, const char* name) {
  writer.writeI32(kRecordTypeName);
  writer.writeI32(kNameRecordBodySize);
  writer.writeI32(presetIndex);
  char field[kPresetNameLength];
  copyStoredName(field, name, kPresetNameLength);
  writer.writeBytes(field, kPresetNameLength);
  writer.writeZeros(kNameRecordBodySize - kPresetNameLength);
}

void writeParamRecord(ByteWriter& writer, std::int32_t presetIndex, std::int32_t paramIndex,
                      float value) {
  writer.writeI32(kRecordTypeParam);
  writer.writeI32(kParamRecordBodySize);
  writer.writeI32(presetIndex);
  writer.writeI32(paramIndex);
  writer.writeZeros(8);
  writer.writeFloat(value);
  writer.writeZeros(4);
}

RecordWalker::Step RecordWalker::next(PresetRecordView& record) {
  std::int32_t recordSize = 0;
  reader_.readI32(record.recordType);
  reader_.readI32(recordSize);
  reader_.readI32(record.presetIndex);
  if (reader_.failed() || recordSize < 0 ||
      !reader_.take(static_cast<std::size_t>(recordSize), record.body))
    return Step::Truncated;
  return Step::Record;
}

bool readRecordName(ByteReader body, char (&name)[kPresetNameLength]) {
  char raw[kPresetNameLength];
  if (!body.readBytes(raw, kPresetNameLength)) return false;
  copyStoredName(name, raw, kPresetNameLength);
  return true;
}

bool readRecordParam(ByteReader body, std::int32_t& paramIndex, float& value) {
  body.readI32(paramIndex);
  body.skip(8);
  body.readFloat(value);
  return !body.failed();
}

void copyStoredName(char (&field)[kPresetNameLength], const char* text, std::size_t available) {
  std::memset(field, 0, kPresetNameLength);
  if (text == nullptr) return;
  std::size_t limit = available < kPresetNameLength - 1 ? available : kPresetNameLength - 1;
  for (std::size_t i = 0; i < limit && text[i] != '\0'; ++i) field[i] = text[i];
}
