#pragma once

// The editor-side preset machinery: encoding and decoding of preset and bank buffers, the
// user's default bank and default preset and the two A/B memories in the preferences, the
// remembered folder and file names, loading and saving preset and bank files, and the row of
// preset controls along the bottom of the editor window. It lives as long as the effect,
// window or not: the effect's chunk calls use it.
//
// Threads: host threads reach this class through the effect (a program name, a chunk); those
// paths only mark the panel stale, and idle() on the window thread brings the controls up to
// date. Gestures arrive on the window thread and may touch the controls directly.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/PreferenceStore.h"
#include "gui/CControlListener.h"
#include "platform/XPlatDocumentOpener.h"
#include "platform/XPlatFile.h"
#include "presets/PresetFileDialog.h"
#include "presets/PresetFormat.h"
#include "sdk/AEffGUIEditor.h"

class CBitmap;
class CMenuItem;
class COptionMenu;
class CPSKickButton;
class CPresetSystemEffect;
class CTextEdit;

class CPresetSystemEditor : public AEffGUIEditor, public CControlListener {
 public:
  using Buffer = std::vector<unsigned char>;
  using Bytes = std::span<const unsigned char>;

  // The panel's control tags; 102 to 107 are not used.
  enum PanelTag : int32_t {
    kTagName = 96,
    kTagPresetRocker = 97,
    kTagLoadBank = 98,
    kTagSaveBank = 99,
    kTagLoadPreset = 100,
    kTagSavePreset = 101,
    kTagPresetMenu = 108,
    kTagDefaultBank = 109,
    kTagDefaultPreset = 110,
    kTagStoreA = 111,
    kTagStoreB = 112,
    kTagRecallA = 113,
    kTagRecallB = 114,
    kTagManual = 115,
  };
  static constexpr int32_t kFirstPanelTag = kTagName;
  static constexpr int32_t kLastPanelTag = kTagManual;
  // The name field shows at most this many characters of a typed name.
  static constexpr std::size_t kNameFieldChars = 24;

  explicit CPresetSystemEditor(AudioEffect* effect);
  // Remembers the folder and file names for the next instance.
  ~CPresetSystemEditor() override;

  // Adds the preset row to the frame the derived editor created first; without a frame (or
  // an effect) there is nothing to add to, and the answer is false.
  bool open(void* parentWindow) override;
  // Forgets the panel's controls; the frame, which owns them, is the derived editor's to close.
  void close() override;
  // Brings a stale panel up to date, collects the manual's opener, then runs the frame.
  void idle() override;

  // Acts on the panel's tags (96 to 115) and ignores every other.
  void valueChanged(CControl* control) override;

  virtual void nameChangedExternal(const char* text);
  virtual void loadDefaults();

  // The buffer operations. Readers take exactly the bytes they may read; they return
  // false when they rejected the data, and then the store is as it was.
  virtual bool BufferToBankOld(Bytes data, bool swap, int presets, int values);
  virtual bool BufferToBank(Bytes data, const newpresetheader& header, bool swap);
  virtual long BankToBuffer(Buffer& buffer);
  virtual bool BufferToPresetOld(Bytes data, bool swap, int values);
  virtual bool BufferToPreset(Bytes data, const newpresetheader& header, bool swap);
  virtual long PresetToBuffer(Buffer& buffer);

  virtual void loadBank(bool reversed);
  virtual void saveBank();
  virtual void saveDefaultBank();
  virtual void resetDefaultBank();
  virtual void loadDefaultBank();
  virtual void loadPreset(bool reversed);
  virtual void savePreset();
  virtual void saveDefaultPreset();
  virtual void resetDefaultPreset();
  virtual void loadDefaultPreset();
  virtual void storeA();
  virtual void storeB();
  virtual void recallA();
  virtual void recallB();
  virtual void storePathsAndFilenames();
  virtual void recallPathsAndFilenames();

  // A whole preset or bank buffer as stored in a file or the preferences: ID and type
  // decide the byte order and the reader. `invertOrder` is the user's "endian-reversed"
  // load. False when nothing was loaded.
  bool loadPresetBuffer(Bytes bytes, bool invertOrder);
  bool loadBankBuffer(Bytes bytes, bool invertOrder);

  // A dialog installed before the window opens (tests) is kept; otherwise opening installs
  // the toolkit's.
  void setFileDialog(std::unique_ptr<PresetFileDialog> dialog) { fileDialog = std::move(dialog); }
  // True while the desktop's opener for the manual has not finished.
  bool isOpeningManual() const { return manualOpener.isBusy(); }
  const char* getCurrDir() const { return currDir; }
  const char* getCurrBank() const { return currBank; }
  const char* getCurrPreset() const { return currPreset; }

  // Loads larger than this are refused: the largest real bank is a few kilobytes.
  static constexpr long kMaxLoadBytes = 1 << 20;

 protected:
  CPresetSystemEffect* presetEffect() const;
  // The buffer operations announce what they changed in the store through these. They may
  // run on a host thread (a chunk), so they only mark the panel stale; the next idle shows
  // the store's current preset and names.
  virtual void showPresetInPanel(int number, const char* name);
  virtual void showMenuEntry(int number, const char* name);
  void showAllMenuEntries();
  // Asks for the whole frame to be redrawn (after a file load).
  virtual void redrawPanel();
  // On the window thread: shows the store's current preset and the five names if the panel
  // was marked stale, and redraws the frame if that was asked for.
  void refreshPanel();
  // Starts the desktop's viewer on the user manual; a failure is shown in an alert.
  void openManual();
  // "$HOME/Documents/<vendor>/ZAL Veltrane/ZAL Veltrane Manual.pdf".
  static std::string manualPath();

  char currDir[kXPlatNameBufferSize] = {};
  char currBank[kXPlatNameBufferSize] = {};
  char currPreset[kXPlatNameBufferSize] = {};

 private:
  // True when the bytes start with this plug-in's ID in either order; `swap` then says whether
  // the fields need reversing (`invertOrder` forces the other reading).
  bool readsAsOurs(Bytes bytes, bool invertOrder, bool& swap);
  enum class FileKind { Preset, Bank };
  // Shows a preset just loaded into the store, names it and selects it.
  void announceLoadedPreset(CPresetSystemEffect& effect, int number);
  void saveFile(FileKind kind);
  void loadFile(FileKind kind, bool reversed);
  // Takes a chosen path apart into the folder and the given name buffer; refuses (with a
  // message) a path whose parts do not fit the buffers.
  bool takeChosenPath(const std::string& path, char* name);
  void storeBuffer(const char* key, const Buffer& buffer);
  void loadStoredPreset(const char* key);

  // The effect must exist for these two.
  std::string storedName(int number) const;
  static void showNameInEntry(CMenuItem* entry, const std::string& name);
  int currentPresetNumber() const;
  void buildNameField(CBitmap* background);
  void buildPresetMenu(CBitmap* background);
  void buildButtons();
  void handleNameTyped(CControl* control);
  void selectPreset(int number, const std::string& name);
  void reportManualFailure();

  PreferenceStore preferences;
  std::unique_ptr<PresetFileDialog> fileDialog;
  XPlatDocumentOpener manualOpener;

  // The panel's controls that are changed from here, owned by the frame; null while the window
  // is closed. (The other buttons only report gestures.)
  CTextEdit* nameField = nullptr;
  COptionMenu* presetMenu = nullptr;
  CPSKickButton* manualButton = nullptr;

  // Raised from any thread, consumed by the window thread.
  std::atomic<bool> panelStale{false};
  std::atomic<bool> frameRedrawWanted{false};
};
