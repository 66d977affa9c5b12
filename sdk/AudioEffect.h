#pragma once

#include "sdk/aeffectx.h"

class AEffEditor;

// The effect object behind one AEffect record. The record's function pointers are static
// trampolines that cast `object` back to this class and turn each host call into a virtual
// call; everything the host can see lives in the record, nothing in globals, so any number of
// instances can share one process.
class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);

  // Lifecycle
  virtual void open() {}
  virtual void close() {}
  virtual void suspend() {}
  virtual void resume() {}
  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(VstInt32 /*size*/) {}

  // Audio
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/,
                                      VstInt32 /*sampleFrames*/) {}

  // Parameters
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
  virtual void setParameterAutomated(VstInt32 index, float value);
  virtual void getParameterLabel(VstInt32 /*index*/, char* label) { *label = 0; }
  virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { *text = 0; }
  virtual void getParameterName(VstInt32 /*index*/, char* text) { *text = 0; }

  // Programs and state
  virtual VstInt32 getProgram() { return curProgram; }
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  virtual void setProgramName(char* /*name*/) {}
  virtual void getProgramName(char* name) { *name = 0; }
  virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/ = false) { return 0; }
  virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/ = false) {
    return 0;
  }

  // Set-up of the record
  virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
  virtual void setNumInputs(VstInt32 count) { cEffect.numInputs = count; }
  virtual void setNumOutputs(VstInt32 count) { cEffect.numOutputs = count; }
  virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
  virtual void canDoubleReplacing(bool state = true) { setFlag(effFlagsCanDoubleReplacing, state); }
  virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
  virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
  virtual void setEditor(AEffEditor* newEditor);

  // Queries
  virtual float getSampleRate() { return sampleRate; }
  AEffect* getAeffect() { return &cEffect; }
  AEffEditor* getEditor() { return editor; }

  // Calls to the host
  virtual bool beginEdit(VstInt32 index);
  virtual bool endEdit(VstInt32 index);

 protected:
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void setFlag(VstInt32 flag, bool state);

  float sampleRate = 44100.0f;
  VstInt32 numPrograms;
  VstInt32 curProgram = 0;
  audioMasterCallback audioMaster;
  AEffEditor* editor = nullptr;
  AEffect cEffect{};
};

// Copies at most maxChars characters of text and a terminator into a host buffer, so that no
// answer overruns the fixed sizes hosts allocate.
void vstCopyText(char* destination, const char* text, int maxChars);
