#pragma once

// What the preset panel asks of a file dialog: one path to open or to save, or nothing.
// The editor's toolkit dialog implements it; tests script it, so loading and saving run
// without a window.

#include <optional>
#include <string>

class PresetFileDialog {
 public:
  struct Request {
    std::string title;
    std::string initialDir;
    std::string typeName;   // "ZAL Preset" or "ZAL Bank"
    std::string extension;  // "zal" or "zab", also the default extension
    std::string defaultName;
  };

  virtual ~PresetFileDialog() = default;
  // The chosen file; nothing when cancelled or when other than exactly one file was chosen.
  virtual std::optional<std::string> askOpen(const Request& request) = 0;
  virtual std::optional<std::string> askSave(const Request& request) = 0;
};
