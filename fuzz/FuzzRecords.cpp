// The record walk and header decoding on arbitrary bytes, in the byte order the data's
// ID claims (or the other one).

#include <cstddef>
#include <cstdint>

#include "presets/PresetFormat.h"

constexpr std::int32_t kPluginId = 'Q' << 24 | 'X' << 16 | 'R' << 8 | 'M';

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const unsigned char> bytes(data, size);
  newpresetheader header;
  if (!readHeader(bytes, header)) return 0;
  bool swap = matchPluginId(bytes, kPluginId) == IdOrder::Reversed;
  if (swap) byteSwapHeader(header);
  if (header.numItems < 0) return 0;
  RecordWalker walker(bytes.subspan(kHeaderSize), swap);
  PresetRecordView record;
  for (std::int32_t item = 0; item < header.numItems; ++item) {
    if (walker.next(record) != RecordWalker::Step::Record) break;
    char name[kPresetNameLength];
    std::int32_t index = 0;
    float value = 0;
    if (record.recordType == kRecordTypeName) readRecordName(record.body, name);
    if (record.recordType == kRecordTypeParam) readRecordParam(record.body, index, value);
  }
  return 0;
}
