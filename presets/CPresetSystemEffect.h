#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "presets/PresetRecord.h"
#include "sdk/AudioEffectX.h"

class AEffGUIEditor;
class CPresetSystemEditor;

// The effect-side preset system: a store of five presets, of which the host sees a single
// program, the current preset number, the default preset new loads start from, and the chunk
// that carries the whole store to and from the host.
//
// Parameter values in the store may be written by host automation on the audio thread while
// the main thread switches presets or saves them, so every value goes through the atomic
// accessors below; names are only touched from the main thread.
class CPresetSystemEffect : public AudioEffectX {
 public:
  // The largest chunk: head, header and five presets of 40 saved values.
  static constexpr int kChunkBufferSize = 7289;

  explicit CPresetSystemEffect(audioMasterCallback audioMaster);
  ~CPresetSystemEffect() override;

  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  VstInt32 getProgram() override { return 0; }
  void setProgram(VstInt32 /*program*/) override {}
  void setProgramName(char* text) override;
  void getProgramName(char* text) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  VstInt32 getChunk(void** data, bool isPreset) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
  void resume() override {}
  VstInt32 canDo(char* /*text*/) override { return 0; }
  VstInt32 processEvents(VstEvents* /*events*/) override { return 0; }

  virtual std::int64_t getPresetNo() { return presetNo.load(); }
  virtual void setPresetNo(std::int64_t number);
  virtual void setPresetName(const char* text);
  virtual VstInt32 getUniqueID() { return cEffect.uniqueID; }
  virtual void initializePreset(int number);
  virtual bool isDummy(int index) = 0;
  virtual bool isDummyOld(int index) = 0;
  virtual void loadDefaults();
  virtual void initPresets();

  // Store access, safe against concurrent parameter changes.
  float presetValue(int preset, int index) const;
  void setPresetValue(int preset, int index, float value);
  const char* presetName(int preset) const { return presets[preset].name; }
  // A copy of the name field that is safe to take while another thread renames the preset.
  void copyPresetName(int preset, char (&name)[kPresetNameLength]) const;
  void setPresetNameOf(int preset, const char* text);  // the name rule
  void copyPreset(PresetRecord& to, const PresetRecord& from);
  PresetRecord& preset(int number) { return presets[number]; }
  PresetRecord& getDefaultPreset() { return defaultPreset; }
  // True while a preset is being pushed on any thread (and during construction): values
  // reaching setParameter then are the preset's own and are not stored back into it.
  bool isSettingPreset() const { return presetPushes.load() > 0; }

 protected:
  // The name rule: at most 23 characters and a terminator, the rest of the field zeroed.
  static void applyNameRule(char* name, const char* text);
  int currentPreset() const;
  // The preset editor the effect created, if any: the chunks and the defaults go through it.
  CPresetSystemEditor* presetEditor() const;

  std::array<PresetRecord, kNumPresets> presets{};
  std::atomic<std::int64_t> presetNo{0};
  std::array<unsigned char, kChunkBufferSize> chunkBuffer{};
  PresetRecord defaultPreset{};

 private:
  // Whether the store has such a preset and value.
  static bool holds(int number, int index) {
    return number >= 0 && number < kNumPresets && index >= 0 && index < kNumPresetValues;
  }

  // Pushes running on any thread; construction counts as one until the first selection.
  std::atomic<int> presetPushes{1};
  std::atomic<bool> constructing{true};
  // Counts selections: a push that sees it move while it ran pushes the current preset again.
  std::atomic<std::uint64_t> presetSelections{0};
};
