// Writes the seed corpus: one folder per fuzz target, each with a few well-formed inputs
// (both byte orders) so the fuzzers start from the real formats.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/PreferenceFile.h"
#include "presets/PresetFormat.h"

constexpr std::int32_t kPluginId = 'Q' << 24 | 'X' << 16 | 'R' << 8 | 'M';

namespace {

void writeSeed(const std::filesystem::path& folder, const std::string& name, const std::vector<unsigned char>& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
  header.dataSize = static_cast<std::int32_t>(kNumPresets * (kNameRecordSize + kParamRecordSize * params));
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

  writeSeed(root / "records", "bank-native", bankBuffer(false, 3));
  writeSeed(root / "records", "bank-reversed", bankBuffer(true, 3));
  return 0;
}
