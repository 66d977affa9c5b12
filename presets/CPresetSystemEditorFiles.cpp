// Loading and saving preset and bank files through the file dialog.

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/XPlatAlert.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace {

PresetFileDialog::Request requestFor(bool bank, const char* title, const char* dir,
                                     const char* name) {
  return {title, dir, bank ? "ZAL Bank" : "ZAL Preset", bank ? "zab" : "zal", name};
}

}  // namespace

bool CPresetSystemEditor::takeChosenPath(const std::string& path, char* name) {
  // Split into scratch buffers first, so a refused path changes neither field.
  char dir[kXPlatNameBufferSize] = {};
  char file[kXPlatNameBufferSize] = {};
  if (!XPlatGetFileNameAndDir(path.c_str(), file, sizeof file, dir, sizeof dir) ||
      file[0] == '\0') {
    std::string message = "The path is too long or names no file (at most " +
                          std::to_string(kXPlatNameBufferSize - 1) +
                          " characters for the folder and for the file name):\n" + path;
    XPlatDisplayAlert(message.c_str());
    return false;
  }
  std::memcpy(currDir, dir, sizeof dir);
  std::memcpy(name, file, sizeof file);
  return true;
}

void CPresetSystemEditor::saveFile(FileKind kind) {
  bool bank = kind == FileKind::Bank;
  char* name = bank ? currBank : currPreset;
  if (presetEffect() == nullptr || !fileDialog) return;
  auto chosen =
      fileDialog->askSave(requestFor(bank, bank ? "Save bank" : "Save preset", currDir, name));
  if (!chosen || !takeChosenPath(*chosen, name)) return;

  Buffer buffer;
  if (bank)
    BankToBuffer(buffer);
  else
    PresetToBuffer(buffer);
  // Written beside the old file and renamed over it: a failed save never costs the old one.
  if (!XPlatFileReplace(name, currDir, buffer.data(), buffer.size())) {
    // A save that silently did nothing would leave the user believing their work is kept.
    std::string message = std::string("Could not save the file:\n") + currDir + name;
    XPlatDisplayAlert(message.c_str());
  }
}

void CPresetSystemEditor::loadFile(FileKind kind, bool reversed) {
  bool bank = kind == FileKind::Bank;
  char* name = bank ? currBank : currPreset;
  if (presetEffect() == nullptr || !fileDialog) return;
  std::string title = bank ? "Load bank" : "Load preset";
  if (reversed) title += " (endian-reversed)";
  auto chosen = fileDialog->askOpen(requestFor(bank, title.c_str(), currDir, name));
  if (!chosen || !takeChosenPath(*chosen, name)) return;

  XPlatFileHandle handle = nullptr;
  long length = XPlatFileOpenForRead(name, currDir, handle);
  XPlatFileGuard file(handle);
  if (handle == nullptr || length < static_cast<long>(kIdAndTypeSize)) return;
  if (length > kMaxLoadBytes) {
    std::fprintf(stderr, "Veltrane: %s%s is too large for a preset or bank file, not loaded\n",
                 currDir, name);
    return;
  }
  Buffer bytes(static_cast<std::size_t>(length));
  bytes.resize(XPlatFileRead(handle, bytes.data(), bytes.size()));
  file.close();

  bool loaded = bank ? loadBankBuffer(bytes, reversed) : loadPresetBuffer(bytes, reversed);
  if (loaded && bank) {
    // A loaded bank always starts at its first preset.
    CPresetSystemEffect* effect = presetEffect();
    effect->setPresetNo(0);
    showPresetInPanel(0, effect->presetName(0));
  }
  redrawPanel();
}

void CPresetSystemEditor::savePreset() { saveFile(FileKind::Preset); }

void CPresetSystemEditor::saveBank() { saveFile(FileKind::Bank); }

void CPresetSystemEditor::loadPreset(bool reversed) { loadFile(FileKind::Preset, reversed); }

void CPresetSystemEditor::loadBank(bool reversed) { loadFile(FileKind::Bank, reversed); }
