#pragma once

#include <atomic>

#include "plugin/ChannelStrip.h"
#include "plugin/Parameters.h"
#include "plugin/StripSettings.h"
#include "presets/CPresetSystemEffect.h"

class ADEditor;

// The channel equaliser as the host sees it: identity, pins, capabilities, the 40 parameters
// and the suspend/resume lifecycle. The signal path itself lives in host-free classes; this
// class adapts host calls to them.
class Veltrane : public CPresetSystemEffect {
 public:
  static constexpr VstInt32 kUniqueId = vstFourCC('Q', 'X', 'R', 'M');
  static constexpr VstInt32 kVendorVersion = 1800;
  static constexpr VstInt32 kTailSize = 1024;
  static constexpr const char* kEffectName = "ZAL Veltrane";
  static constexpr const char* kProductName = "ZAL Veltrane - parametric channel eq";
  static constexpr const char* kVendorName = "www.zal-audio.example";

  explicit Veltrane(audioMasterCallback audioMaster);
  ~Veltrane() override;

  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
  bool getInputProperties(VstInt32 index, VstPinProperties* p) override;
  bool getOutputProperties(VstInt32 index, VstPinProperties* p) override;
  bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override;
  VstInt32 getGetTailSize() override { return kTailSize; }
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override { return kVendorVersion; }
  VstInt32 canDo(char* text) override;
  VstInt32 getPlugCategory() override { return kPlugCategMastering; }
  bool isDummy(int index) override { return isDummyParameter(index); }
  bool isDummyOld(int index) override { return isDummyParameter(index); }
  void initPresets() override;

  virtual void processLoopFast(float** inputs, float** outputs, int sampleFrames);
  virtual void processLoopFastDouble(double** inputs, double** outputs, int sampleFrames);
  virtual void processLoopFastMono(float** inputs, float** outputs, int sampleFrames);
  virtual void processLoopFastDoubleMono(double** inputs, double** outputs, int sampleFrames);
  virtual void resetAll() {}
  virtual double getVu() { return 0.0; }
  virtual void initUpsDec() {}
  virtual float getLatency1();
  virtual float getLatency2();
  virtual bool compensate() { return true; }

  // No locks are taken anywhere; these exist for the interface's sake.
  void initMutex() {}
  void acquireMutex() {}
  void releaseMutex() {}

  // The internal values of the current parameters.
  StripSettings settings() const { return parameters.settings(); }
  bool isStereoIn() const { return stereoIn.load(std::memory_order_relaxed); }
  bool isStereoOut() const { return stereoOut.load(std::memory_order_relaxed); }

  // Clip indicator hand-over: the engine writes the block peak, the editor reads and clears.
  std::atomic<double> meterPeak{0.0};
  std::atomic<double> meterHold{0.0};

 private:
  // The editor as the window it is; null once it has gone.
  ADEditor* windowEditor() const;
  // One block through the strip; pending parameter changes are applied at its chunk
  // boundaries, on this (the audio) thread.
  template <typename Sample>
  void runStrip(Sample** inputs, Sample** outputs, int sampleFrames, bool stereo);
  void applyPendingChanges(ChannelStrip& target);

  Parameters parameters;
  std::atomic<bool> stereoIn{true};
  std::atomic<bool> stereoOut{true};
  bool effectSuspended = false;
  // The signal path and the settings it runs on. Both belong to the audio thread while it
  // processes, and to suspend()/resume() otherwise; other threads only reach the atomic
  // values of `parameters`.
  ChannelStrip strip;
  StripSettings engineSettings;
};
