// ADEditor at run time: changes from the effect into the controls, gestures into the effect,
// and the clip indicator.
#include <bit>
#include <cmath>
#include <utility>

#include "editor/ADEditor.h"
#include "editor/CAbout.h"
#include "editor/CAnimCoaxKnob.h"
#include "editor/CLED.h"
#include "editor/CSizeMenu.h"
#include "gui/CFrame.h"
#include "gui/CParamDisplay.h"
#include "plugin/Veltrane.h"

namespace {

// The parameters a control edits one to one, its tag being the parameter's index.
constexpr bool isDirectTag(int32_t tag) {
  switch (tag) {
    case kEqAll:
    case kLsr:
    case kOutput:
    case kSat:
    case kHpf:
    case kHpfFreq:
    case kLf:
    case kLfDip:
    case kLmf:
    case kLmQ:
    case kHmf:
    case kHmQ:
    case kHf:
    case kHfDip:
      return true;
    default:
      return false;
  }
}

constexpr double kClipLevel = 1.0;
constexpr double kClipNow = 1.0;
constexpr double kClipHeld = 0.5;
constexpr float kLedNudgeUnit = 1e-15f;
constexpr std::uint32_t kLedNudgeSteps = 1000;

}  // namespace

void ADEditor::setParameter(VstInt32 index, float value) {
  if (index < 0 || index >= kNumParameters) return;
  mailboxValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
  // Release: whoever takes the bit also sees the value (or a later one).
  mailboxPending.fetch_or(std::uint64_t{1} << index, std::memory_order_release);
}

void ADEditor::resume() {
  // Read here, on the thread that has just set the rate and the look-ahead.
  if (Veltrane* fx = veltrane()) {
    resumedLatencyMs.store(fx->getLatency1(), std::memory_order_relaxed);
    resumedLatencySamples.store(fx->getLatency2(), std::memory_order_relaxed);
  }
  latencyRefreshPending.store(true, std::memory_order_release);
}

void ADEditor::internalSampleRateChanged() {
  resume();
  ledRefreshPending.store(true, std::memory_order_release);
}

void ADEditor::idle() {
  applySizeChoice();
  applyHostRequests();
  updateClipIndicator();
  applyParameterMailbox();
  CPresetSystemEditor::idle();
}

void ADEditor::applyHostRequests() {
  if (latencyRefreshPending.exchange(false, std::memory_order_acquire))
    showLatency(resumedLatencyMs.load(std::memory_order_relaxed),
                resumedLatencySamples.load(std::memory_order_relaxed));
  if (ledRefreshPending.exchange(false, std::memory_order_acquire) && clipLed != nullptr) {
    // A value below one half shows the off image; a value unlike the last forces the redraw.
    ledNudge = ledNudge % kLedNudgeSteps + 1;
    clipLed->setValue(static_cast<float>(ledNudge) * kLedNudgeUnit);
  }
}

void ADEditor::updateClipIndicator() {
  Veltrane* fx = veltrane();
  if (fx == nullptr) return;
  double peak = fx->meterPeak.load();
  if (peak >= kClipLevel) {
    fx->meterHold.store(kClipNow);
    // Only the peak read here is taken: a block finished meanwhile is judged next time.
    fx->meterPeak.compare_exchange_strong(peak, 0.0);
  } else {
    fx->meterHold.store(fx->meterHold.load() >= kClipHeld ? kClipHeld : 0.0);
  }
  // While the about picture shows, the lamp keeps its image; the hold goes on underneath.
  if (about != nullptr && about->getValue() == 0.f && clipLed != nullptr)
    clipLed->setValue(static_cast<float>(fx->meterHold.load()));
}

void ADEditor::applyParameterMailbox() {
  std::uint64_t pending = mailboxPending.exchange(0, std::memory_order_acquire);
  // Closed: the next open reads every value from the effect anyway.
  if (frame == nullptr) return;
  while (pending != 0) {
    const int index = std::countr_zero(pending);
    pending &= pending - 1;
    showParameter(index,
                  mailboxValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed));
  }
}

void ADEditor::showParameter(int index, float value) {
  for (std::size_t k = 0; k < kCoaxKnobs.size(); ++k) {
    if (kCoaxKnobs[k].ringParameter != index || coaxKnobs[k] == nullptr) continue;
    // The HF ring is shown in hundredths; the other rings as they are.
    coaxKnobs[k]->setExtValue(index == kHfFreq ? std::trunc(value * 100.f) / 100.f : value);
    coaxKnobs[k]->setDirty(true);
    return;
  }
  CControl* control = parameterControls[static_cast<std::size_t>(index)];
  if (control == nullptr) return;
  control->setValue(value);
  if (index == kOutput || index == kHpf) control->setDirty(true);
  if (index == kEqAll) showLatency(resumedLatencyMs.load(), resumedLatencySamples.load());
}

void ADEditor::showLatency(float milliseconds, float samples) {
  if (latencyMsDisplay != nullptr) latencyMsDisplay->setValue(milliseconds);
  if (latencySamplesDisplay != nullptr) latencySamplesDisplay->setValue(samples);
}

int ADEditor::coaxKnobOfTag(int32_t tag) {
  for (std::size_t k = 0; k < kCoaxKnobs.size(); ++k)
    if (kCoaxKnobs[k].tag == tag) return static_cast<int>(k);
  return -1;
}

void ADEditor::beginEdit(VstInt32 tag) {
  int parameter = isDirectTag(tag) ? tag : -1;
  if (const int k = coaxKnobOfTag(tag); k >= 0) {
    const CAnimCoaxKnob* knob = coaxKnobs[static_cast<std::size_t>(k)];
    const CoaxKnob& layout = kCoaxKnobs[static_cast<std::size_t>(k)];
    if (knob != nullptr)
      parameter = knob->isExtActive() ? layout.ringParameter : layout.centreParameter;
    coaxGestureParameters[static_cast<std::size_t>(k)] = parameter;
  }
  if (parameter >= 0) CPresetSystemEditor::beginEdit(parameter);
}

void ADEditor::endEdit(VstInt32 tag) {
  int parameter = isDirectTag(tag) ? tag : -1;
  if (const int k = coaxKnobOfTag(tag); k >= 0)
    parameter = std::exchange(coaxGestureParameters[static_cast<std::size_t>(k)], -1);
  if (parameter >= 0) CPresetSystemEditor::endEdit(parameter);
}

void ADEditor::valueChanged(CControl* control) {
  CPresetSystemEditor::valueChanged(control);
  const int32_t tag = control->getTag();
  if (tag == kTagSizeMenu && control == sizeMenu) {
    // Stored at once, for every instance; the window follows at the next idle.
    scaleSelector.storeChoice(sizeMenu->getChoice());
    sizeChoicePending = true;
    return;
  }
  if (tag > kTagClipLed || effect == nullptr) return;
  if (isDirectTag(tag)) {
    effect->setParameterAutomated(tag, control->getValue());
    return;
  }
  for (const CoaxKnob& layout : kCoaxKnobs) {
    if (layout.tag != tag) continue;
    auto* knob = dynamic_cast<CAnimCoaxKnob*>(control);
    if (knob == nullptr) return;
    if (knob->isExtActive())
      effect->setParameterAutomated(layout.ringParameter, knob->getExtValue());
    else
      effect->setParameterAutomated(layout.centreParameter, knob->getValue());
    return;
  }
  if (tag == kTagClipLed && frame != nullptr && (frame->getCurrentMouseButtons() & kLButton)) {
    if (clipLed != nullptr) {
      clipLed->resetHold();
      clipLed->setDirty(true);
    }
    if (CControl* output = parameterControls[kOutput]) output->setDirty(true);
    if (Veltrane* fx = veltrane()) {
      fx->meterPeak.store(0.0);
      fx->meterHold.store(0.0);
    }
  }
}
