#include "presets/ToolkitFileDialog.h"

#include "gui/CNewFileSelector.h"
#include "sdk/AEffGUIEditor.h"

std::optional<std::string> ToolkitFileDialog::askOpen(const Request& request) {
  return ask(false, request);
}

std::optional<std::string> ToolkitFileDialog::askSave(const Request& request) {
  return ask(true, request);
}

std::optional<std::string> ToolkitFileDialog::ask(bool save, const Request& request) {
  OwningPointer<CNewFileSelector> selector(CNewFileSelector::create(
      editor.getFrame(), save ? CNewFileSelector::kSelectSaveFile : CNewFileSelector::kSelectFile));

  const CFileExtension type(request.typeName.c_str(), request.extension.c_str());
  selector->setTitle(request.title.c_str());
  selector->setInitialDirectory(request.initialDir.c_str());
  selector->addFileExtension(type);
  selector->setDefaultExtension(type);
  if (save) selector->setDefaultSaveName(request.defaultName.c_str());
  selector->setAllowMultiFileSelection(false);
  if (!selector->runModal() || selector->getNumSelectedFiles() != 1) return std::nullopt;
  return std::string(selector->getSelectedFile(0));
}
