#include "plugin/Veltrane.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/ADEditor.h"
#include "plugin/FactoryPresets.h"
#include "sdk/AEffGUIEditor.h"

namespace {

constexpr const char* kCanDo[] = {"offline", "plugAsChannelInsert", "mixDryWet", "1in1out",
                                  "2in2out"};

bool fillPin(VstInt32 index, VstPinProperties* p, const char* first, const char* second) {
  if (index < 0 || index > 1) return false;
  std::memset(p, 0, sizeof(*p));
  std::strcpy(p->label, index == 0 ? first : second);
  p->flags = index == 0 ? (kVstPinIsActive | kVstPinIsStereo) : kVstPinIsActive;
  return true;
}

}  // namespace

Veltrane::Veltrane(audioMasterCallback audioMaster) : CPresetSystemEffect(audioMaster) {
  sampleRate = 44100.0f;
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(kUniqueId);
  canProcessReplacing(true);
  canDoubleReplacing(true);
  cEffect.version = kVendorVersion;
  // The strip starts at 44.1 kHz figures: a window of 29, so 46 samples.
  setInitialDelay(static_cast<VstInt32>(getLatency2()));
  // The editor lives as long as the effect: the chunks and the stored defaults go through
  // it, window or not.
  setEditor(new ADEditor(this));
  initPresets();
  loadDefaults();
  setPresetNo(0);
  suspend();
}

Veltrane::~Veltrane() = default;

// --- engine -------------------------------------------------------------------------------

void Veltrane::suspend() {
  engineSettings = parameters.settings();
  strip.suspend(engineSettings);
  meterHold = 0.0;
  meterPeak = 0.0;
  effectSuspended = true;
  if (ADEditor* window = windowEditor()) window->internalSampleRateChanged();
}

void Veltrane::resume() {
  if (!effectSuspended) suspend();
  // Everything changed so far is part of the full redesign below.
  parameters.takeChanges();
  engineSettings = parameters.settings();
  strip.resume(getSampleRate(), engineSettings);
  sampleRate = static_cast<float>(strip.getSampleRate());
  const auto latency = static_cast<VstInt32>(getLatency2());
  const bool latencyChanged = latency != cEffect.initialDelay;
  setInitialDelay(latency);
  // A host reads the delay again only when told that the plug-in's I/O changed.
  if (latencyChanged) ioChanged();
  if (ADEditor* window = windowEditor()) {
    window->internalSampleRateChanged();
    window->resume();
  }
}

ADEditor* Veltrane::windowEditor() const { return dynamic_cast<ADEditor*>(editor); }

void Veltrane::applyPendingChanges(ChannelStrip& target) {
  const unsigned changes = parameters.takeChanges();
  if (changes == 0) return;
  engineSettings = parameters.settings();
  target.updateBands(changes & kAllBands, engineSettings);
}

template <typename Sample>
void Veltrane::runStrip(Sample** inputs, Sample** outputs, int sampleFrames, bool stereo) {
  if (sampleFrames < 0) sampleFrames = 0;
  // A host that hands no buffer for a channel gets nothing written through it.
  if (!inputs[0] || !outputs[0]) return;
  const ChannelStrip::Routing routing{stereo, outputs[1] && isOutputConnected(1) && isStereoOut()};
  strip.process(inputs, outputs, sampleFrames, routing, engineSettings,
                [this](ChannelStrip& target) { applyPendingChanges(target); });
  meterPeak.store(strip.getMeterPeak(), std::memory_order_relaxed);
}

void Veltrane::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (inputs[1] && isInputConnected(1) && isStereoIn())
    processLoopFast(inputs, outputs, sampleFrames);
  else
    processLoopFastMono(inputs, outputs, sampleFrames);
}

void Veltrane::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  if (inputs[1] && isInputConnected(1) && isStereoIn())
    processLoopFastDouble(inputs, outputs, sampleFrames);
  else
    processLoopFastDoubleMono(inputs, outputs, sampleFrames);
}

void Veltrane::processLoopFast(float** inputs, float** outputs, int sampleFrames) {
  runStrip(inputs, outputs, sampleFrames, true);
}

void Veltrane::processLoopFastDouble(double** inputs, double** outputs, int sampleFrames) {
  runStrip(inputs, outputs, sampleFrames, true);
}

void Veltrane::processLoopFastMono(float** inputs, float** outputs, int sampleFrames) {
  runStrip(inputs, outputs, sampleFrames, false);
}

void Veltrane::processLoopFastDoubleMono(double** inputs, double** outputs, int sampleFrames) {
  runStrip(inputs, outputs, sampleFrames, false);
}

float Veltrane::getLatency2() { return static_cast<float>(strip.getLatencySamples()); }

float Veltrane::getLatency1() {
  double rate = getSampleRate();
  // A rate a host set as not a number reads as out of range too.
  if (!(rate >= 20000.0 && rate <= 200000.0)) rate = 44100.0;
  return static_cast<float>(getLatency2() * 1000.0 / rate);
}

// --- parameters -------------------------------------------------------------------------

void Veltrane::setParameter(VstInt32 index, float value) {
  // Every change, host or not, is kept to 0..1 here, as banks and presets are on load; a NaN
  // has no side to clamp to and leaves the previous value in place.
  if (std::isnan(value)) return;
  value = std::clamp(value, 0.0f, 1.0f);
  if (index >= kNumParameters || !parameters.set(index, value)) return;
  // These two are settings of the strip, not of a preset: switching presets keeps them.
  if (index == kEqAll || index == kLsr)
    for (int p = 0; p < kNumPresets; ++p) setPresetValue(p, index, value);
  if (!isSettingPreset()) CPresetSystemEffect::setParameter(index, value);
  if (auto* gui = static_cast<AEffGUIEditor*>(editor)) gui->setParameter(index, value);
}

float Veltrane::getParameter(VstInt32 index) { return parameters.get(index); }

void Veltrane::getParameterLabel(VstInt32 /*index*/, char* label) { label[0] = 0; }

void Veltrane::getParameterDisplay(VstInt32 index, char* text) {
  if (index < 0 || index >= kNumParameters) {
    text[0] = 0;
    return;
  }
  // A display text depends only on its own parameter's internal value.
  const float value = parameters.get(index);
  StripSettings settings;
  applyParameter(settings, index, value);
  parameterDisplay(index, value, settings, text);
}

void Veltrane::getParameterName(VstInt32 index, char* text) {
  std::strcpy(text, parameterName(index));
}

bool Veltrane::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
  return parameterProperties(index, p);
}

void Veltrane::initPresets() {
  for (int p = 0; p < kNumPresets; ++p) {
    setPresetNameOf(p, kFactoryPresetNames[p]);
    for (int i = 0; i < kNumParameters; ++i)
      if (!isDummy(i)) setPresetValue(p, i, factoryPresetValue(p, i));
  }
}

// --- identity -----------------------------------------------------------------------------

bool Veltrane::getInputProperties(VstInt32 index, VstPinProperties* p) {
  return fillPin(index, p, "ZAL Veltrane 1 In", "ZAL Veltrane 2 In");
}

bool Veltrane::getOutputProperties(VstInt32 index, VstPinProperties* p) {
  return fillPin(index, p, "ZAL Veltrane 1 Out", "ZAL Veltrane 2 Out");
}

bool Veltrane::setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) {
  const int inputs = in->numChannels;
  const int outputs = out->numChannels;
  bool accepted = true;
  bool newStereoIn = true;
  bool newStereoOut = true;
  if (inputs == 1 && outputs == 1) {
    newStereoIn = newStereoOut = false;
  } else if (inputs == 1 && outputs == 2) {
    newStereoIn = false;
  } else if (!(inputs == 2 && outputs == 2)) {
    accepted = false;
  }
  stereoIn = newStereoIn;
  stereoOut = newStereoOut;
  return accepted;
}

bool Veltrane::getEffectName(char* name) {
  std::strcpy(name, kEffectName);
  return true;
}

bool Veltrane::getVendorString(char* text) {
  std::strcpy(text, kVendorName);
  return true;
}

bool Veltrane::getProductString(char* text) {
  std::strcpy(text, kProductName);
  return true;
}

VstInt32 Veltrane::canDo(char* text) {
  for (const char* capability : kCanDo)
    if (std::strcmp(text, capability) == 0) return 1;
  return 0;
}
