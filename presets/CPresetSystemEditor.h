#pragma once

// The editor-side preset machinery: encoding and decoding of preset and bank buffers, the
// user's default bank and default preset and the two A/B memories in the preferences, the
// remembered folder and file names, and loading and saving preset and bank files. It lives
// as long as the effect, window or not: the effect's chunk calls use it.
//
// The panel row of controls is built by the toolkit's editor; everything here works
// without it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/PreferenceStore.h"
#include "platform/XPlatFile.h"
#include "presets/CControlListener.h"
#include "presets/PresetFileDialog.h"
#include "presets/PresetFormat.h"
#include "sdk/AEffGUIEditor.h"

class CPresetSystemEffect;

class CPresetSystemEditor : public AEffGUIEditor, public CControlListener {
 public:
  using Buffer = std::vector<unsigned char>;
  using Bytes = std::span<const unsigned char>;

  explicit CPresetSystemEditor(AudioEffect* effect);
  // Remembers the folder and file names for the next instance.
  ~CPresetSystemEditor() override;

  // Nothing to open without a frame: the derived editor creates it first. Until the
  // toolkit's editor exists, a host that opens regardless gets a refusal, not an empty
  // window.
  bool open(void* parentWindow) override;

  // The panel's controls report here once the toolkit provides them.
  void valueChanged(CControl* control) override;

  virtual void endLearn() {}
  virtual void endCancel() {}
  virtual void nameChangedExternal(const char* text);
  virtual void loadDefaults();

  // The nine buffer operations. Readers take exactly the bytes they may read; they return
  // false when they rejected the data, and then the store is as it was.
  virtual bool BufferToBankOld(Bytes data, bool swap, int presets, int values);
  virtual bool BufferToBank(Bytes data, const newpresetheader& header, bool swap);
  virtual long BankToBuffer(Buffer& buffer);
  virtual bool BufferToPresetOld(Bytes data, bool swap, int values);
  virtual bool BufferToPreset(Bytes data, const newpresetheader& header, bool swap);
  virtual long PresetToBuffer(Buffer& buffer);
  // Slots for a controller-map buffer; this plug-in has none.
  virtual bool BufferToMidiOld(Bytes /*data*/, bool /*swap*/) { return false; }
  virtual bool BufferToMidi(Bytes /*data*/, const newpresetheader& /*header*/, bool /*swap*/) {
    return false;
  }
  virtual long MidiToBuffer(Buffer& buffer) {
    buffer.clear();
    return 0;
  }

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
  // Controller maps: no control of this panel reaches them.
  virtual void loadMidi(bool /*reversed*/) {}
  virtual void saveMidi() {}
  virtual void saveDefaultMidi() {}
  virtual void resetDefaultMidi() {}
  virtual void loadDefaultMidi() {}
  virtual void storePathsAndFilenames();
  virtual void recallPathsAndFilenames();

  void nameChangedInternal(const char* text);
  void keyFocusChanged(bool /*focused*/) {}
  bool recallKeyFocus() { return false; }

  // A whole preset or bank buffer as stored in a file or the preferences: ID and type
  // decide the byte order and the reader. `invertOrder` is the user's "endian-reversed"
  // load. False when nothing was loaded.
  bool loadPresetBuffer(Bytes bytes, bool invertOrder);
  bool loadBankBuffer(Bytes bytes, bool invertOrder);

  void setFileDialog(std::unique_ptr<PresetFileDialog> dialog) { fileDialog = std::move(dialog); }
  const char* getCurrDir() const { return currDir; }
  const char* getCurrBank() const { return currBank; }
  const char* getCurrPreset() const { return currPreset; }

  // Loads larger than this are refused: the largest real bank is a few kilobytes.
  static constexpr long kMaxLoadBytes = 1 << 20;

 protected:
  CPresetSystemEffect* presetEffect() const;
  // Shows a preset's name in the panel's name field and menu; the panel arrives with the
  // toolkit, and until then there is nothing to show.
  virtual void showPresetInPanel(int /*number*/, const char* /*name*/) {}
  // Shows a name as the title of a menu entry.
  virtual void showMenuEntry(int /*number*/, const char* /*name*/) {}
  void showAllMenuEntries();
  // Redraws the whole frame after a file load.
  virtual void redrawPanel() {}

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

  PreferenceStore preferences;
  std::unique_ptr<PresetFileDialog> fileDialog;
};
