#include "sdk/AudioEffectX.h"

#include <cstdint>

#include "sdk/AEffEditor.h"

AudioEffectX::AudioEffectX(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : AudioEffect(master, programs, params) {}

bool AudioEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

// The pin query answers 0 for a connected pin.
bool AudioEffectX::isInputConnected(VstInt32 input) {
  return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffectX::isOutputConnected(VstInt32 output) {
  return callHost(audioMasterPinConnected, output, 1) == 0;
}

VstInt32 AudioEffectX::canHostDo(char* text) {
  return static_cast<VstInt32>(callHost(audioMasterCanDo, 0, 0, text));
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
  return callHost(audioMasterSizeWindow, width, height) != 0;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  char text[256] = {};
  switch (opcode) {
    case effProcessEvents:
      return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated:
      return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
      return ptr && string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
    case effGetProgramNameIndexed: {
      if (!ptr) return 0;
      if (!getProgramNameIndexed(static_cast<VstInt32>(value), index, text)) return 0;
      vstCopyText(static_cast<char*>(ptr), text, kVstMaxProgNameLen - 1);
      return 1;
    }
    case effGetInputProperties:
      return ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties:
      return ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory:
      return getPlugCategory();
    case effSetSpeakerArrangement: {
      auto* in = reinterpret_cast<VstSpeakerArrangement*>(value);
      auto* out = static_cast<VstSpeakerArrangement*>(ptr);
      return in && out && setSpeakerArrangement(in, out) ? 1 : 0;
    }
    case effGetSpeakerArrangement: {
      if (!value || !ptr) return 0;
      VstSpeakerArrangement* in = nullptr;
      VstSpeakerArrangement* out = nullptr;
      if (!getSpeakerArrangement(&in, &out)) return 0;
      *reinterpret_cast<VstSpeakerArrangement**>(value) = in;
      *static_cast<VstSpeakerArrangement**>(ptr) = out;
      return 1;
    }
    case effSetBlockSizeAndSampleRate:
      setBlockSize(static_cast<VstInt32>(value));
      setSampleRate(opt);
      return 0;
    case effSetBypass:
      return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
      if (!ptr || !getEffectName(text)) return 0;
      vstCopyText(static_cast<char*>(ptr), text, kVstMaxEffectNameLen);
      return 1;
    case effGetVendorString:
      if (!ptr || !getVendorString(text)) return 0;
      vstCopyText(static_cast<char*>(ptr), text, kVstMaxVendorStrLen);
      return 1;
    case effGetProductString:
      if (!ptr || !getProductString(text)) return 0;
      vstCopyText(static_cast<char*>(ptr), text, kVstMaxProductStrLen);
      return 1;
    case effGetVendorVersion:
      return getVendorVersion();
    case effCanDo:
      return ptr ? canDo(static_cast<char*>(ptr)) : 0;
    case effGetTailSize:
      return getGetTailSize();
    case effGetParameterProperties:
      return ptr && getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1
                                                                                             : 0;
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
      if (!editor) return 0;
      // The modifier bits come as a float; one that is no byte (a host's stray value) means
      // no modifier rather than an undefined conversion.
      const auto modifier = opt >= 0.0f && opt < 256.0f ? static_cast<unsigned char>(opt) : 0;
      VstKeyCode key{index, static_cast<unsigned char>(value),
                     static_cast<unsigned char>(modifier)};
      return (opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key)) ? 1 : 0;
    }
    case effSetEditKnobMode:
      return editor && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
    case effBeginSetProgram:
      return beginSetProgram();
    case effEndSetProgram:
      return endSetProgram();
    case effStartProcess:
      return startProcess();
    case effStopProcess:
      return stopProcess();
    case effSetProcessPrecision:
      return setProcessPrecision(static_cast<VstInt32>(value)) ? 1 : 0;
    case effSetTotalSampleToProcess:
      return value;
    default:
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}
