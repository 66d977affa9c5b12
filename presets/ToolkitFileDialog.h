#pragma once

#include "presets/PresetFileDialog.h"

class AEffGUIEditor;

// The preset panel's file dialogs as the toolkit runs them: a desktop dialog over the editor's
// current window, run modally so the window keeps painting while the user chooses.
class ToolkitFileDialog : public PresetFileDialog {
 public:
  // The editor is asked for its frame at every dialog: the window changes each time it opens.
  explicit ToolkitFileDialog(const AEffGUIEditor& editor) : editor(editor) {}

  std::optional<std::string> askOpen(const Request& request) override;
  std::optional<std::string> askSave(const Request& request) override;

 private:
  std::optional<std::string> ask(bool save, const Request& request);

  const AEffGUIEditor& editor;
};
