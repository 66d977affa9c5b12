#pragma once

#include "gui/CBaseObject.h"
#include "gui/CFileExtension.h"
#include "gui/CFrame.h"

#include <memory>
#include <string>
#include <vector>

class DialogProcess;

// Open and save dialogs, run by a desktop dialog program (zenity or kdialog) in a child
// process; runModal() waits for it, keeping the window painted. A save dialog's answer without the
// file type's extension gets it added; when that names an existing file, which the dialog did not
// ask about, the same program asks whether to replace it.
class CNewFileSelector : public CBaseObject {
 public:
  enum Style {
    kSelectFile,
    kSelectSaveFile,
  };

  static CNewFileSelector* create(CFrame* parent = nullptr, Style style = kSelectFile);
  // Replaces the dialog program (tests); null or "" restores the automatic choice, which
  // takes VELTRANE_DIALOG_PROGRAM (an absolute path) before zenity and kdialog. A program
  // whose name contains "kdialog" gets kdialog's arguments, any other zenity's.
  static void setDialogProgram(const char* path);
  static std::string getDialogProgram();

  ~CNewFileSelector() override;

  // True when the user chose a file.
  bool runModal();

  void setTitle(const char* t) { title = t ? t : ""; }
  void setInitialDirectory(const char* d) { initialDirectory = d ? d : ""; }
  void setDefaultSaveName(const char* n) { defaultSaveName = n ? n : ""; }
  void setDefaultExtension(const CFileExtension& e);
  void setAllowMultiFileSelection(bool state) { allowMultiple = state; }
  void addFileExtension(const CFileExtension& e) { extensions.push_back(e); }

  int32_t getNumSelectedFiles() const { return static_cast<int32_t>(result.size()); }
  const char* getSelectedFile(uint32_t index) const;

  // The argument vector for a program (its first element is the program).
  std::vector<std::string> buildArguments(const std::string& program) const;
  // The yes/no question whether to replace an existing file, for the same program.
  std::vector<std::string> buildOverwriteQuestion(const std::string& program,
                                                  const std::string& path) const;

 private:
  CNewFileSelector(CFrame* frame, Style style);
  bool start();
  // Polls the running dialog, then the question it may lead to; true once the choice is final.
  bool settle();
  void parseOutput(const std::string& output, int exitStatus);

  CFrame* frame;
  Style style;
  std::string title;
  std::string initialDirectory;
  std::string defaultSaveName;
  std::unique_ptr<CFileExtension> defaultExtension;
  std::vector<CFileExtension> extensions;
  bool allowMultiple = false;
  std::vector<std::string> result;
  std::unique_ptr<DialogProcess> process;
  // The chosen name got its extension here, after the dialog had confirmed it.
  bool completedName = false;
  // The running process is the overwrite question, not the dialog.
  bool asking = false;
};
