// Writes the seed corpus: one folder per fuzz target, each with a few well-formed inputs
// (both byte orders) so the fuzzers start from the real formats.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/PreferenceFile.h"
#include "fuzz/FuzzSupport.h"
#include "presets/PresetFormat.h"

constexpr std::int32_t kPluginId = 'Q' << 24 | 'X' << 16 | 'R' << 8 | 'M';

namespace {

void writeSeed(const std::filesystem::path& folder, const std::string& name,
               const std::vector<unsigned char>& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> bankBuffer(bool swap, int params) {
  ByteWriter writer(swap);
  newpresetheader header;
  header.pluginID = kPluginId;
  header.fileType = kTypeBank;
  header.version = kFormatVersion;
  header.numParams = kNumPresetValues;
  header.numItems = kNumPresets * (1 + params);
  header.currentPreset = 1;
  header.dataSize =
      static_cast<std::int32_t>(kNumPresets * (kNameRecordSize + kParamRecordSize * params));
  writeHeader(writer, header);
  for (int preset = 0; preset < kNumPresets; ++preset) {
    writeNameRecord(writer, preset, "Seed");
    for (int param = 0; param < params; ++param) writeParamRecord(writer, preset, param, 0.5f);
  }
  return writer.release();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
    return 2;
  }
  std::filesystem::path root = argv[1];

  PreferenceMap entries;
  entries["CurrDir"] = {PreferenceKind::Text, {'/', 't', '/'}};
  entries["DefaultBank"] = {PreferenceKind::Bytes, bankBuffer(false, 2)};
  writeSeed(root / "preferences", "two-entries", encodePreferenceFile(entries));
  writeSeed(root / "preferences", "empty", encodePreferenceFile({}));
  const std::string scales = "1.5\n2\n144\n2";
  writeSeed(root / "ui_scale", "sources", std::vector<unsigned char>(scales.begin(), scales.end()));

  // Seeds for the chunk and file readers come from a real instance, plus the forms no
  // current writer makes: the other byte order and the old positional formats.
  fuzzsupport::usePrivatePreferences();
  auto effect = fuzzsupport::makeEffect();
  auto& editor = fuzzsupport::editorOf(*effect);
  void* chunk = nullptr;
  VstInt32 chunkSize = effect->getChunk(&chunk, false);
  auto* chunkBytes = static_cast<unsigned char*>(chunk);
  writeSeed(root / "chunk", "current",
            std::vector<unsigned char>(chunkBytes, chunkBytes + chunkSize));
  ByteWriter oldChunk(true);
  oldChunk.writeU32(0x01000000);
  oldChunk.writeI32(kPluginId);
  oldChunk.writeI32(2);
  oldChunk.writeI32(1);
  oldChunk.writeZeros(16);
  for (int k = 0; k < 2; ++k) {
    oldChunk.writeBytes("Old chunk preset\0\0\0\0\0\0\0", kPresetNameLength);
    for (int i = 0; i < kNumPresetValues; ++i) oldChunk.writeFloat(0.5f);
  }
  writeSeed(root / "chunk", "old-reversed", oldChunk.release());
  std::vector<unsigned char> reversedChunk = {0, 0, 0, 2};
  auto reversedBank = bankBuffer(true, 3);
  ByteWriter id(true);
  id.writeI32(kPluginId);
  reversedChunk.insert(reversedChunk.end(), id.bytes().begin(), id.bytes().end());
  reversedChunk.insert(reversedChunk.end(), reversedBank.begin(), reversedBank.end());
  writeSeed(root / "chunk", "current-reversed", reversedChunk);

  // File targets: the first byte is the "endian-reversed" choice.
  auto withChoice = [](std::uint8_t choice, std::vector<unsigned char> bytes) {
    bytes.insert(bytes.begin(), choice);
    return bytes;
  };
  CPresetSystemEditor::Buffer preset, bank;
  editor.PresetToBuffer(preset);
  editor.BankToBuffer(bank);
  writeSeed(root / "preset_file", "current", withChoice(0, preset));
  writeSeed(root / "bank_file", "current", withChoice(0, bank));
  writeSeed(root / "bank_file", "reversed", withChoice(0, bankBuffer(true, 3)));
  ByteWriter oldPreset;
  oldPreset.writeI32(kPluginId);
  oldPreset.writeU8(kTypeOldPreset);
  oldPreset.writeBytes("Old preset\0\0\0\0\0\0\0\0\0\0\0\0\0\0", kPresetNameLength);
  for (int i = 0; i < 28; ++i) oldPreset.writeFloat(0.25f);
  writeSeed(root / "preset_file", "old", withChoice(0, oldPreset.bytes()));
  ByteWriter oldBank;
  oldBank.writeI32(kPluginId);
  oldBank.writeU8(kTypeOldBank);
  for (int k = 0; k < kNumPresets; ++k) {
    oldBank.writeBytes("Old bank\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", kPresetNameLength);
    for (int i = 0; i < kNumPresetValues; ++i) oldBank.writeFloat(0.75f);
  }
  writeSeed(root / "bank_file", "old", withChoice(0, oldBank.bytes()));
  return 0;
}
