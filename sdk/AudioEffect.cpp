#include "sdk/AudioEffect.h"

#include <algorithm>
#include <cstring>

#include "sdk/AEffEditor.h"

namespace {

AudioEffect* effectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

VstIntPtr dispatchTrampoline(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                             void* ptr, float opt) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return 0;
  if (opcode == effClose) {
    effect->close();
    delete effect;
    return 1;
  }
  return effect->dispatcher(opcode, index, value, ptr, opt);
}

void processReplacingTrampoline(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  AudioEffect* effect = effectOf(e);
  if (effect && inputs && outputs) effect->processReplacing(inputs, outputs, std::max(frames, 0));
}

void processDoubleTrampoline(AEffect* e, double** inputs, double** outputs, VstInt32 frames) {
  AudioEffect* effect = effectOf(e);
  if (effect && inputs && outputs)
    effect->processDoubleReplacing(inputs, outputs, std::max(frames, 0));
}

// The pre-2.4 accumulating entry. A host that still uses it gets the replacing result added
// to its buffers, worked in small stack blocks so nothing is allocated.
void processAccumulatingTrampoline(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  AudioEffect* effect = effectOf(e);
  if (!effect || !inputs || !outputs) return;
  constexpr int kMaxChannels = 8;
  constexpr int kBlock = 64;
  const int inCount = std::clamp(e->numInputs, 0, kMaxChannels);
  const int outCount = std::clamp(e->numOutputs, 0, kMaxChannels);
  float scratch[kMaxChannels][kBlock];
  float* in[kMaxChannels] = {};
  float* out[kMaxChannels] = {};
  for (int done = 0; done < frames;) {
    const int n = std::min(kBlock, frames - done);
    for (int c = 0; c < inCount; ++c) in[c] = inputs[c] ? inputs[c] + done : nullptr;
    // An effect need not write every output (one not connected, say): what it leaves
    // alone adds silence, not whatever the stack held.
    for (int c = 0; c < outCount; ++c) {
      std::fill_n(scratch[c], n, 0.0f);
      out[c] = scratch[c];
    }
    effect->processReplacing(in, out, n);
    for (int c = 0; c < outCount; ++c)
      if (outputs[c])
        for (int i = 0; i < n; ++i) outputs[c][done + i] += scratch[c][i];
    done += n;
  }
}

void setParameterTrampoline(AEffect* e, VstInt32 index, float value) {
  if (AudioEffect* effect = effectOf(e)) effect->setParameter(index, value);
}

float getParameterTrampoline(AEffect* e, VstInt32 index) {
  AudioEffect* effect = effectOf(e);
  return effect ? effect->getParameter(index) : 0.0f;
}

}  // namespace

void vstCopyText(char* destination, const char* text, int maxChars) {
  if (!destination) return;
  const size_t length = text ? strnlen(text, static_cast<size_t>(maxChars)) : 0;
  if (length) std::memcpy(destination, text, length);
  destination[length] = 0;
}

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : numPrograms(programs), audioMaster(master) {
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchTrampoline;
  cEffect.process = processAccumulatingTrampoline;
  cEffect.setParameter = setParameterTrampoline;
  cEffect.getParameter = getParameterTrampoline;
  cEffect.numPrograms = programs;
  cEffect.numParams = params;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
  cEffect.version = 1;
  cEffect.processReplacing = processReplacingTrampoline;
  cEffect.processDoubleReplacing = processDoubleTrampoline;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(effFlagsHasEditor, editor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state)
    cEffect.flags |= flag;
  else
    cEffect.flags &= ~flag;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

bool AudioEffect::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }

bool AudioEffect::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  // Texts go through a roomy scratch buffer and are then cut to what the host allocates.
  char text[256] = {};
  auto answerText = [&](int maxChars) {
    vstCopyText(static_cast<char*>(ptr), text, maxChars);
    return VstIntPtr{0};
  };
  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effSetProgram:
      if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      if (ptr) {
        vstCopyText(text, static_cast<const char*>(ptr), kVstMaxProgNameLen);
        setProgramName(text);
      }
      return 0;
    case effGetProgramName:
      if (!ptr) return 0;
      getProgramName(text);
      return answerText(kVstMaxProgNameLen - 1);
    case effGetParamLabel:
      if (!ptr) return 0;
      getParameterLabel(index, text);
      return answerText(kVstMaxParamStrLen);
    case effGetParamDisplay:
      if (!ptr) return 0;
      getParameterDisplay(index, text);
      return answerText(kVstMaxParamStrLen);
    case effGetParamName:
      if (!ptr) return 0;
      getParameterName(index, text);
      return answerText(kVstMaxParamStrLen);
    case effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (value)
        resume();
      else
        suspend();
      return 0;
    case effEditGetRect: {
      if (!editor || !ptr) return 0;
      ERect* rect = nullptr;
      if (!editor->getRect(&rect) || !rect) return 0;
      *static_cast<ERect**>(ptr) = rect;
      return 1;
    }
    case effEditOpen:
      if (!editor) return 0;
      // Some hosts open again without closing first: the old window goes the regular way.
      if (editor->isOpen()) editor->close();
      if (!editor->open(ptr)) return 0;
      // A window that could not be made (bad parent, no display) is a failed open.
      if (!editor->isOpen()) {
        editor->close();
        return 0;
      }
      return 1;
    case effEditClose:
      if (editor) editor->close();
      return 0;
    case effEditIdle:
      if (editor) editor->idle();
      return 0;
    case effIdentify:
      return vstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
      if (!ptr) return 0;
      return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
      // A chunk that is not there is refused, not taken as an empty success.
      if (!ptr || value < 0 || value > INT32_MAX) return -1;
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
      return 0;
  }
}
