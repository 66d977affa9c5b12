// The buffer operations of CPresetSystemEditor: preset and bank buffers to and from the
// effect's store. Every reader keeps a copy of what it may change and puts it back when
// the data turns out to be bad, so a failed load never loses what was there.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/PresetStoreAccess.h"

namespace {

int savedParameterCount(CPresetSystemEffect& effect) {
  int count = 0;
  for (int i = 0; i < kNumPresetValues; ++i) count += effect.isDummy(i) ? 0 : 1;
  return count;
}

void reportCorrection(const char* when, int param, float value, int preset, const char* name) {
  std::fprintf(stderr, "Invalid parameter %d value %f on %s of preset %d ", param,
               static_cast<double>(value), when, preset);
  std::fprintf(stderr, "%.*s\n", kPresetNameLength, name);
}

newpresetheader headerFor(CPresetSystemEffect& effect, std::uint8_t type, int items, int current,
                          int dataSize) {
  newpresetheader header;
  header.pluginID = effect.getUniqueID();
  header.fileType = type;
  header.version = kFormatVersion;
  header.numParams = kNumPresetValues;
  header.numItems = items;
  header.currentPreset = current;
  header.dataSize = dataSize;
  return header;
}

}  // namespace

void CPresetSystemEditor::announceLoadedPreset(CPresetSystemEffect& effect, int number) {
  // A copy: setPresetName rewrites the very field the name is read from.
  char name[kPresetNameLength + 1] = {};
  std::memcpy(name, effect.presetName(number), kPresetNameLength);
  effect.setPresetName(name);
  effect.setPresetNo(number);
  // Only once the store is final: a window thread may show the panel as soon as it is marked.
  showMenuEntry(number, name);
  showPresetInPanel(number, name);
}

long CPresetSystemEditor::PresetToBuffer(Buffer& buffer) {
  buffer.clear();
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr) return 0;
  int params = savedParameterCount(*effect);
  int current =
      static_cast<int>(std::clamp<std::int64_t>(effect->getPresetNo(), 0, kNumPresets - 1));
  int dataSize = static_cast<int>(kNameRecordSize + kParamRecordSize * params);
  ByteWriter writer;
  writer.reserve(kHeaderSize + dataSize);
  writeHeader(writer, headerFor(*effect, kTypePreset, 1 + params, 0, dataSize));
  writeNameRecord(writer, 0, effect->presetName(current));
  for (int i = 0; i < kNumPresetValues; ++i)
    if (!effect->isDummy(i)) writeParamRecord(writer, 0, i, effect->presetValue(current, i));
  buffer = writer.release();
  return static_cast<long>(buffer.size());
}

long CPresetSystemEditor::BankToBuffer(Buffer& buffer) {
  buffer.clear();
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr) return 0;
  int params = savedParameterCount(*effect);
  int dataSize = static_cast<int>(kNumPresets * (kNameRecordSize + kParamRecordSize * params));
  ByteWriter writer;
  writer.reserve(kHeaderSize + dataSize);
  writeHeader(writer, headerFor(*effect, kTypeBank, kNumPresets * (1 + params),
                                static_cast<int>(effect->getPresetNo()), dataSize));
  for (int k = 0; k < kNumPresets; ++k) {
    writeNameRecord(writer, k, effect->presetName(k));
    for (int i = 0; i < kNumPresetValues; ++i) {
      if (effect->isDummy(i)) continue;
      float value = effect->presetValue(k, i);
      if (value < 0.0f || value > 1.0f) {
        reportCorrection("save", i, value, k, effect->presetName(k));
        value = value < 0.0f ? 0.0f : 1.0f;
      }
      writeParamRecord(writer, k, i, value);
    }
  }
  buffer = writer.release();
  return static_cast<long>(buffer.size());
}

bool CPresetSystemEditor::BufferToPreset(Bytes data, const newpresetheader& header, bool swap) {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr || header.numItems < 0) return false;
  int p = static_cast<int>(std::clamp<std::int64_t>(effect->getPresetNo(), 0, kNumPresets - 1));
  PresetRecord saved;
  effect->copyPreset(saved, effect->preset(p));
  effect->initializePreset(p);

  RecordWalker walker(data, swap);
  for (std::int32_t item = 0; item < header.numItems; ++item) {
    PresetRecordView record;
    bool good = walker.next(record) == RecordWalker::Step::Record;
    if (good && record.recordType == kRecordTypeName) {
      char name[kPresetNameLength];
      good = readRecordName(record.body, name);
      if (good) effect->setPresetNameOf(p, name);
    } else if (good && record.recordType == kRecordTypeParam) {
      std::int32_t index = 0;
      float value = 0;
      good = readRecordParam(record.body, index, value);
      if (good && index >= 0 && index < kNumPresetValues) {
        good = isNormalised(value);
        if (good) effect->setPresetValue(p, index, value);
      }
    }
    if (!good) {
      effect->copyPreset(effect->preset(p), saved);
      return false;
    }
  }
  announceLoadedPreset(*effect, p);
  return true;
}

bool CPresetSystemEditor::BufferToBank(Bytes data, const newpresetheader& header, bool swap) {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr || header.numItems < 0) return false;
  int current =
      (header.currentPreset >= 0 && header.currentPreset < kNumPresets) ? header.currentPreset : 0;
  PresetStoreCopy saved;
  saveStore(*effect, saved);

  RecordWalker walker(data, swap);
  for (std::int32_t item = 0; item < header.numItems; ++item) {
    PresetRecordView record;
    bool good = walker.next(record) == RecordWalker::Step::Record;
    int k = record.presetIndex;
    if (good && k >= 0 && k < kNumPresets && record.recordType == kRecordTypeName) {
      char name[kPresetNameLength];
      good = readRecordName(record.body, name);
      if (good) {
        effect->initializePreset(k);
        effect->setPresetNameOf(k, name);
      }
    } else if (good && k >= 0 && k < kNumPresets && record.recordType == kRecordTypeParam) {
      std::int32_t index = 0;
      float value = 0;
      good = readRecordParam(record.body, index, value);
      if (good && (value < 0.0f || value > 1.0f)) {
        reportCorrection("load", index, value, k, effect->presetName(k));
        value = value < 0.0f ? 0.0f : 1.0f;
      }
      good = good && isNormalised(value);
      if (good && index >= 0 && index < kNumPresetValues) effect->setPresetValue(k, index, value);
    }
    if (!good) {
      restoreStore(*effect, saved);
      return false;
    }
  }
  effect->setPresetNo(current);
  showAllMenuEntries();
  showPresetInPanel(current, effect->presetName(current));
  return true;
}

bool CPresetSystemEditor::BufferToPresetOld(Bytes data, bool swap, int values) {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr) return false;
  int p = static_cast<int>(std::clamp<std::int64_t>(effect->getPresetNo(), 0, kNumPresets - 1));
  PresetRecord saved;
  effect->copyPreset(saved, effect->preset(p));
  effect->initializePreset(p);
  if (!readOldPresetBlock(*effect, ByteReader(data, swap), p, values)) {
    effect->copyPreset(effect->preset(p), saved);
    return false;
  }
  announceLoadedPreset(*effect, p);
  return true;
}

bool CPresetSystemEditor::BufferToBankOld(Bytes data, bool swap, int presets, int values) {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr) return false;
  PresetStoreCopy saved;
  saveStore(*effect, saved);
  // The stride follows the stated count even past the 40 positions that are used.
  std::int64_t stride =
      static_cast<std::int64_t>(kPresetNameLength) + 4 * static_cast<std::int64_t>(values);
  int blocks = std::min(presets, kNumPresets);
  for (int k = 0; k < blocks; ++k) {
    std::int64_t offset = stride * k;
    bool good = stride > 0 && offset <= static_cast<std::int64_t>(data.size());
    if (good) {
      effect->initializePreset(k);
      good = readOldPresetBlock(
          *effect, ByteReader(data.subspan(static_cast<std::size_t>(offset)), swap), k, values);
    }
    if (!good) {
      restoreStore(*effect, saved);
      return false;
    }
  }
  effect->setPresetNo(0);
  showAllMenuEntries();
  showPresetInPanel(0, effect->presetName(0));
  return true;
}

bool CPresetSystemEditor::readsAsOurs(Bytes bytes, bool invertOrder, bool& swap) {
  CPresetSystemEffect* effect = presetEffect();
  if (effect == nullptr || bytes.size() < kIdAndTypeSize) return false;
  IdOrder order = matchPluginId(bytes, effect->getUniqueID());
  if (order == IdOrder::Foreign) return false;
  swap = (order == IdOrder::Reversed) != invertOrder;
  return true;
}

bool CPresetSystemEditor::loadPresetBuffer(Bytes bytes, bool invertOrder) {
  bool swap = false;
  if (!readsAsOurs(bytes, invertOrder, swap)) return false;
  std::uint8_t type = bytes[4];
  if (type == kTypeOldPreset) {
    auto values = static_cast<int>((static_cast<std::int64_t>(bytes.size()) - 29) / 4);
    return BufferToPresetOld(bytes.subspan(kIdAndTypeSize), swap, values);
  }
  newpresetheader header;
  Bytes records;
  if (type == kTypePreset && readBufferHeader(bytes, swap, header, records))
    return BufferToPreset(records, header, swap);
  return false;
}

bool CPresetSystemEditor::loadBankBuffer(Bytes bytes, bool invertOrder) {
  bool swap = false;
  if (!readsAsOurs(bytes, invertOrder, swap)) return false;
  std::uint8_t type = bytes[4];
  if (type == kTypeOldBank) {
    auto values = static_cast<int>(((static_cast<std::int64_t>(bytes.size()) - 5) / 5 - 24) / 4);
    return BufferToBankOld(bytes.subspan(kIdAndTypeSize), swap, kNumPresets, values);
  }
  newpresetheader header;
  Bytes records;
  if (type == kTypeBank && readBufferHeader(bytes, swap, header, records))
    return BufferToBank(records, header, swap);
  return false;
}
