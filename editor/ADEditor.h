#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/UiScaleSelector.h"
#include "gui/CPoint.h"
#include "platform/PreferenceStore.h"
#include "plugin/ParameterMapping.h"
#include "presets/CPresetSystemEditor.h"

class CAbout;
class CAnimCoaxKnob;
class CAnimKnob3;
class CBitmap;
class CHorizontalSwitch;
class CLED;
class CParamDisplay;
class CSizeMenu;
class CZALOnOffButton;
class Veltrane;

// The plug-in's window: the channel strip's controls on the background picture, a clip
// indicator, two latency read-outs and an about hot-spot, with the preset panel of the base
// class along the bottom. Gestures become host-automated parameter changes; changes the
// effect reports come back into the controls.
//
// The effect reports changes from whatever thread made them, the audio thread included, so
// setParameter, resume and internalSampleRateChanged only leave word-sized notes in atomics.
// idle(), on the window thread, turns the notes into control values; each control whose value
// changed redraws itself there.
//
// The window is drawn at a scale factor (UiScaleSelector): the layout below stays in its 778 x
// 248 pixels, the host is told the scaled size. A right-click on the background opens the
// "Size" menu; a new choice resizes the open window if the host can resize, else applies at the
// next opening.
class ADEditor : public CPresetSystemEditor {
 public:
  static constexpr int kWidth = 778;
  static constexpr int kHeight = 248;
  // Tags of the controls that edit no single parameter.
  static constexpr int32_t kTagLfKnob = 41;
  static constexpr int32_t kTagLmKnob = 42;
  static constexpr int32_t kTagHmKnob = 43;
  static constexpr int32_t kTagHfKnob = 44;
  static constexpr int32_t kTagAbout = 65;
  static constexpr int32_t kTagClipLed = 68;
  static constexpr int32_t kTagSizeMenu = 70;

  explicit ADEditor(AudioEffect* effect);
  // Leaves the effect without an editor (and its host flag cleared).
  ~ADEditor() override;

  // With a null parent the frame runs headless.
  bool open(void* parentWindow) override;
  void close() override;
  void idle() override;
  // Any thread; allocates nothing, takes no lock and touches no control.
  void setParameter(VstInt32 index, float value) override;
  void valueChanged(CControl* control) override;
  // The window's size in device pixels: at the open window's scale, or at the one the next
  // opening would take.
  bool getRect(ERect** rect) override;
  // A right-click on the background opens the "Size" menu.
  bool onBackgroundMouseDown(const CPoint& where, const CButtonState& buttons) override;
  // The scale the host gave a format adapter (an LV2 host's ui:scaleFactor); none forgets it.
  void setHostScaleFactor(std::optional<double> factor) { scaleSelector.setHostFactor(factor); }
  // The toolkit brackets gestures with a control's tag; the host hears only of parameters:
  // a band knob's bracket names the part it edits, the other controls' none.
  void beginEdit(VstInt32 tag) override;
  void endEdit(VstInt32 tag) override;

  // Any thread: the effect resumed, or its processing rate may have changed.
  virtual void resume();
  virtual void internalSampleRateChanged();

 protected:
  // Asks the host to make the editor's window this size; true when it did. A VST host is asked
  // only when it says it can (canHostDo "sizeWindow"); another format's adapter overrides this.
  virtual bool resizeHostWindow(int width, int height);

 private:
  // A band knob: the centre edits one parameter, the ring another.
  struct CoaxKnob {
    int32_t tag;
    int centreBitmap;
    const char* ringBitmap;
    int images;
    int ringImages;
    int left, top;         // of the control; the image sits inside the margin
    int centreX, centreY;  // the point the ring/centre distance is measured from
    int centreParameter;
    int ringParameter;
  };
  static const std::array<CoaxKnob, 4> kCoaxKnobs;

  Veltrane* veltrane() const;
  void clearControlPointers();
  // The band knob with this tag (0..3), or -1.
  static int coaxKnobOfTag(int32_t tag);

  // Building the window, one helper per kind of control, in the order they are drawn.
  void addClipLed();
  CParamDisplay* addLatencyDisplay(CBitmap* background, CCoord left, CCoord top, bool samples);
  void addKnob(int index, int bitmap, CCoord left, CCoord top, int rectDivisor, float defaultValue);
  void addButton(int index, int bitmap, CCoord left, CCoord top);
  void addSwitch(int index, int bitmap, CCoord left, CCoord top, bool twelfths);
  void addCoaxKnob(int number);
  void addAbout();
  void addSizeMenu();

  // The factor to draw at now, with any newly refused setting reported on standard error.
  double chooseScaleFactor();
  void setRectFor(double scaleFactor);
  // On the window thread, after the "Size" menu's choice was stored.
  void applySizeChoice();

  // Window-thread halves of the notes left by other threads.
  void applyHostRequests();
  void updateClipIndicator();
  void applyParameterMailbox();
  void showParameter(int index, float value);
  void showLatency(float milliseconds, float samples);

  // The controls, null while the window is closed; the frame owns them.
  std::array<CControl*, kNumParameters> parameterControls{};
  std::array<CAnimCoaxKnob*, 4> coaxKnobs{};
  // The parameter each band knob's running gesture was announced for; its end names the
  // same, even once the knob is gone with the window.
  std::array<int, 4> coaxGestureParameters{-1, -1, -1, -1};
  CLED* clipLed = nullptr;
  CParamDisplay* latencyMsDisplay = nullptr;
  CParamDisplay* latencySamplesDisplay = nullptr;
  CAbout* about = nullptr;
  CSizeMenu* sizeMenu = nullptr;

  PreferenceStore scalePreferences;
  UiScaleSelector scaleSelector{scalePreferences};
  std::vector<std::string> reportedScaleWarnings;
  bool sizeChoicePending = false;

  // The parameter mailbox: the latest value of each parameter and one bit per parameter
  // changed since the window thread last looked.
  std::array<std::atomic<float>, kNumParameters> mailboxValues{};
  std::atomic<std::uint64_t> mailboxPending{0};
  static_assert(kNumParameters <= 64, "one pending bit per parameter");

  // Latency as read on the thread that last suspended or resumed the effect. The window
  // thread shows only these: the effect's rate and look-ahead are that thread's to write.
  std::atomic<float> resumedLatencyMs{0.f};
  std::atomic<float> resumedLatencySamples{0.f};
  std::atomic<bool> latencyRefreshPending{false};
  std::atomic<bool> ledRefreshPending{false};
  // Makes every forced off-value of the clip LED differ from the one before.
  std::uint32_t ledNudge = 0;
};
