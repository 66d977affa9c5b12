// The state chunk: the whole store to and from the host. The current format wraps a bank
// buffer; the old positional format is still read.

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/PresetFormat.h"
#include "presets/PresetStoreAccess.h"

namespace {

constexpr std::uint32_t kChunkFormatOld = 0x01000000;
constexpr std::uint32_t kChunkFormatCurrent = 0x02000000;
constexpr std::size_t kChunkHeadSize = 8;
constexpr std::size_t kOldChunkHeadSize = 32;

// Old chunk: count P and the preset to select, four unused words, then P blocks of a
// name and N floats, N derived from the length. Reads only the bytes given; a bad value
// or a short block leaves the whole store as it was.
bool readOldChunk(CPresetSystemEffect& effect, std::span<const unsigned char> bytes, bool swap) {
  ByteReader reader(bytes, swap);
  std::int32_t count = 0;
  std::int32_t select = 0;
  reader.skip(kChunkHeadSize);
  reader.readI32(count);
  reader.readI32(select);
  if (!reader.skip(kOldChunkHeadSize - 16)) return false;

  auto body = static_cast<std::int64_t>(bytes.size() - kOldChunkHeadSize);
  std::int64_t values = count > 0 ? (body / count - kPresetNameLength) / 4 : 0;
  std::int64_t stride = kPresetNameLength + 4 * values;
  int blocks = std::min(count, kNumPresets);
  PresetStoreCopy saved;
  saveStore(effect, saved);
  for (int k = 0; k < blocks; ++k) {
    std::int64_t offset = stride * k;
    bool good = offset >= 0 && offset <= body;
    if (good) {
      effect.initializePreset(k);
      ByteReader block(reader.rest().subspan(static_cast<std::size_t>(offset)), swap);
      good = readOldPresetBlock(effect, block, k,
                                static_cast<int>(std::min<std::int64_t>(values, kNumPresetValues)));
    }
    if (!good) {
      restoreStore(effect, saved);
      return false;
    }
  }
  effect.setPresetNo(select >= 0 && select < kNumPresets ? select : 0);
  return true;
}

}  // namespace

VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  CPresetSystemEditor* panel = presetEditor();
  if (data == nullptr || panel == nullptr) return 0;
  chunkBuffer.fill(0);
  std::vector<unsigned char> bank;
  long size = panel->BankToBuffer(bank);
  if (size <= 0 || static_cast<std::size_t>(size) + kChunkHeadSize > chunkBuffer.size()) return 0;
  ByteWriter head;
  head.writeU32(kChunkFormatCurrent);
  head.writeI32(getUniqueID());
  std::memcpy(chunkBuffer.data(), head.bytes().data(), kChunkHeadSize);
  std::memcpy(chunkBuffer.data() + kChunkHeadSize, bank.data(), bank.size());
  *data = chunkBuffer.data();
  return static_cast<VstInt32>(kChunkHeadSize + bank.size());
}

VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
  if (data == nullptr || byteSize < static_cast<VstInt32>(kChunkHeadSize)) return -1;
  std::span<const unsigned char> bytes(static_cast<const unsigned char*>(data),
                                       static_cast<std::size_t>(byteSize));
  IdOrder order = matchPluginId(bytes.subspan(4), getUniqueID());
  if (order == IdOrder::Foreign) return -1;
  bool swap = order == IdOrder::Reversed;
  ByteReader reader(bytes, swap);
  std::uint32_t format = 0;
  reader.readU32(format);
  if (format == kChunkFormatOld) return readOldChunk(*this, bytes, swap) ? 0 : -1;

  CPresetSystemEditor* panel = presetEditor();
  newpresetheader header;
  std::span<const unsigned char> records;
  if (format != kChunkFormatCurrent || panel == nullptr ||
      !readBufferHeader(bytes.subspan(kChunkHeadSize), swap, header, records))
    return -1;
  return panel->BufferToBank(records, header, swap) ? 0 : -1;
}
