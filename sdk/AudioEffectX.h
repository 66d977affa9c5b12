#pragma once

#include "sdk/AudioEffect.h"

// The VST 2.x extensions: capabilities, pins, speaker arrangements, names and the host
// queries a 2.4 effect uses.
class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  ~AudioEffectX() override = default;

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) override;

  virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
  virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
  virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) {
    return false;
  }
  virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) {
    return false;
  }
  virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*p*/) { return false; }
  virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*p*/) { return false; }
  virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*in*/,
                                     VstSpeakerArrangement* /*out*/) {
    return false;
  }
  virtual bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) {
    *in = nullptr;
    *out = nullptr;
    return false;
  }
  virtual VstInt32 getPlugCategory() { return kPlugCategUnknown; }
  virtual bool getEffectName(char* /*name*/) { return false; }
  virtual bool getVendorString(char* /*text*/) { return false; }
  virtual bool getProductString(char* /*text*/) { return false; }
  virtual VstInt32 getVendorVersion() { return 0; }
  virtual VstInt32 canDo(char* /*text*/) { return 0; }
  virtual VstInt32 getGetTailSize() { return 0; }
  virtual VstInt32 getVstVersion() { return kVstVersion; }
  virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
  virtual bool setBypass(bool /*onOff*/) { return false; }
  virtual VstInt32 beginSetProgram() { return 0; }
  virtual VstInt32 endSetProgram() { return 0; }
  virtual VstInt32 startProcess() { return 0; }
  virtual VstInt32 stopProcess() { return 0; }
  virtual bool setProcessPrecision(VstInt32 /*precision*/) { return false; }

  // Calls to the host
  virtual bool ioChanged();
  virtual bool updateDisplay();
  virtual bool isInputConnected(VstInt32 input);
  virtual bool isOutputConnected(VstInt32 output);
  virtual VstInt32 canHostDo(char* text);
  virtual bool sizeWindow(VstInt32 width, VstInt32 height);
};
