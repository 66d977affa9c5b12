#include "editor/ADEditor.h"

#include <cmath>

#include "editor/CAbout.h"
#include "editor/CAnimCoaxKnob.h"
#include "editor/CAnimKnob3.h"
#include "editor/CLED.h"
#include "editor/CZALOnOffButton.h"
#include "editor/MyFrame.h"
#include "gui/CBitmap.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CParamDisplay.h"
#include "plugin/ValueText.h"
#include "plugin/Veltrane.h"

namespace {

constexpr int kBackgroundBitmap = 11500;
constexpr int kClipLedBitmap = 11520;
constexpr int kAboutBitmap = 11580;
constexpr int kKnobImages = 41;
constexpr int kButtonImages = 2;
constexpr int kSwitchImages = 3;
constexpr int kClipLedImages = 3;
constexpr long kCoaxMargin = 20;
constexpr float kCoaxRadius = 23.f;
constexpr float kCoaxStep = 1.f / 64;
// Lit so faintly that it shows the off image, yet not 0: the first idle's value differs.
constexpr float kClipLedInitialValue = 1e-9f;

}  // namespace

const std::array<ADEditor::CoaxKnob, 4> ADEditor::kCoaxKnobs = {{
    {kTagLfKnob, 11571, "bmp11558.png", 41, 11, 154, 56, 209, 111, kLfGain, kLfFreq},
    {kTagLmKnob, 11572, "bmp11559.png", 29, 15, 273, 56, 328, 111, kLmGain, kLmFreq},
    {kTagHmKnob, 11573, "bmp11576.png", 29, 15, 392, 56, 447, 111, kHmGain, kHmFreq},
    {kTagHfKnob, 11553, "bmp11557.png", 41, 11, 512, 56, 568, 111, kHfGain, kHfFreq},
}};

// The rectangle is worked out at each getRect, from the scale factor of the moment.
ADEditor::ADEditor(AudioEffect* effect) : CPresetSystemEditor(effect) {}

ADEditor::~ADEditor() {
  // Only the editor the effect actually holds may take itself away from it.
  if (effect != nullptr && effect->getEditor() == this) effect->setEditor(nullptr);
  // A window still open is closed here, while this is still the editor that turns the
  // controls' brackets cut short into the host's parameter indexes.
  clearControlPointers();
  closeFrameForDestruction();
}

Veltrane* ADEditor::veltrane() const { return dynamic_cast<Veltrane*>(effect); }

void ADEditor::clearControlPointers() {
  parameterControls.fill(nullptr);
  coaxKnobs.fill(nullptr);
  clipLed = nullptr;
  latencyMsDisplay = nullptr;
  latencySamplesDisplay = nullptr;
  about = nullptr;
  sizeMenu = nullptr;
}

bool ADEditor::open(void* parentWindow) {
  if (effect == nullptr) return false;
  if (frame != nullptr) close();
  AEffGUIEditor::open(parentWindow);
  // Changes reported from here on reach the controls at the next idle; everything before is
  // in the values read below.
  mailboxPending.exchange(0, std::memory_order_acquire);
  latencyRefreshPending.store(false);
  ledRefreshPending.store(false);

  const double scaleFactor = chooseScaleFactor();
  setRectFor(scaleFactor);
  OwningPointer<CBitmap> background(new CBitmap(kBackgroundBitmap));
  const CRect frameRect(0, 0, background->getWidth(), background->getHeight());
  frame = new MyFrame(frameRect, parentWindow, this, scaleFactor);
  frame->setBackground(background.get());
  setKnobMode(kLinearMode);

  addClipLed();
  latencyMsDisplay = addLatencyDisplay(background.get(), 58, 214, false);
  latencySamplesDisplay = addLatencyDisplay(background.get(), 102, 214, true);
  addKnob(kOutput, 11562, 651, 76, 51, 0.5f);
  addButton(kEqAll, 11510, 663, 22);
  addSwitch(kLsr, 11512, 64, 168, false);
  addButton(kSat, 11518, 663, 168);
  addButton(kHpf, 11540, 91, 22);
  addKnob(kHpfFreq, 11541, 55, 76, kKnobImages, 0.f);
  addButton(kLf, 11543, 209, 22);
  addButton(kLfDip, 11516, 182, 168);
  addCoaxKnob(0);
  addButton(kLmf, 11546, 330, 22);
  addSwitch(kLmQ, 11547, 302, 168, true);
  addCoaxKnob(1);
  addButton(kHmf, 11548, 448, 22);
  addSwitch(kHmQ, 11549, 421, 168, true);
  addCoaxKnob(2);
  addButton(kHf, 11552, 568, 22);
  addButton(kHfDip, 11517, 541, 168);
  addCoaxKnob(3);
  addAbout();
  addSizeMenu();

  if (!CPresetSystemEditor::open(parentWindow)) {
    close();
    return false;
  }
  return true;
}

void ADEditor::addClipLed() {
  OwningPointer<CBitmap> bitmap(new CBitmap(kClipLedBitmap));
  const CRect r(712, 57, 712 + bitmap->getWidth(), 57 + bitmap->getHeight() / kClipLedImages);
  clipLed = new CLED(r, this, kTagClipLed, bitmap.get());
  clipLed->setValue(kClipLedInitialValue);
  frame->addView(clipLed);
}

CParamDisplay* ADEditor::addLatencyDisplay(CBitmap* background, CCoord left, CCoord top,
                                           bool samples) {
  // The window's own picture behind the text, so the read-out needs no box of its own.
  auto* display = new CParamDisplay(CRect(left, top, left + 50, top + 12), background, 0);
  display->setBackOffset(CPoint(left, top));
  display->setHoriAlign(kLeftText);
  display->setFont(kNormalFontVerySmall);
  display->setFontColor(kDarkGreyCColor);
  // The range first: a latency above the default maximum of 1 must not be clamped to it.
  display->setMin(0.f);
  display->setMax(10000.f);
  display->setStringConvert(samples ? smpStringConvert : msStringConvert);
  display->setValue(samples ? resumedLatencySamples.load() : resumedLatencyMs.load());
  frame->addView(display);
  return display;
}

void ADEditor::addKnob(int index, int bitmapNumber, CCoord left, CCoord top, int rectDivisor,
                       float defaultValue) {
  OwningPointer<CBitmap> bitmap(new CBitmap(bitmapNumber));
  const CRect r(left, top, left + bitmap->getWidth(), top + bitmap->getHeight() / rectDivisor);
  auto* knob =
      new CAnimKnob3(r, this, index, kKnobImages, static_cast<int32_t>(bitmap->getWidth()),
                     static_cast<int32_t>(bitmap->getHeight() / kKnobImages), bitmap.get());
  knob->setValue(effect->getParameter(index));
  knob->setDefaultValue(defaultValue);
  knob->dragZoom = 0.5;
  frame->addView(knob);
  parameterControls[index] = knob;
}

void ADEditor::addButton(int index, int bitmapNumber, CCoord left, CCoord top) {
  OwningPointer<CBitmap> bitmap(new CBitmap(bitmapNumber));
  const CRect r(left, top, left + bitmap->getWidth(), top + bitmap->getHeight() / kButtonImages);
  auto* button = new CZALOnOffButton(r, this, index, bitmap.get());
  button->setValue(effect->getParameter(index));
  frame->addView(button);
  parameterControls[index] = button;
}

void ADEditor::addSwitch(int index, int bitmapNumber, CCoord left, CCoord top, bool twelfths) {
  OwningPointer<CBitmap> bitmap(new CBitmap(bitmapNumber));
  const CCoord imageHeight = bitmap->getHeight() / kSwitchImages;
  const CRect r(left, top, left + bitmap->getWidth(), top + imageHeight);
  auto* control = new CHorizontalSwitch(r, this, index, kSwitchImages, imageHeight, kSwitchImages,
                                        bitmap.get());
  float value = effect->getParameter(index);
  // The Q switches open on the value cut down to twelfths; later changes arrive as they are.
  if (twelfths) value = std::trunc(value * 12.f) / 12.f;
  control->setValue(value);
  control->setDefaultValue(0.5f);
  frame->addView(control);
  parameterControls[index] = control;
}

void ADEditor::addCoaxKnob(int number) {
  const CoaxKnob& layout = kCoaxKnobs[number];
  OwningPointer<CBitmap> centre(new CBitmap(layout.centreBitmap));
  OwningPointer<CBitmap> ring(new CBitmap(layout.ringBitmap));
  const CCoord imageHeight = centre->getHeight() / layout.images;
  const CRect r(layout.left, layout.top, layout.left + 2 * kCoaxMargin + centre->getWidth(),
                layout.top + 2 * kCoaxMargin + imageHeight);
  auto* knob =
      new CAnimCoaxKnob(r, this, layout.tag, layout.images, static_cast<int32_t>(imageHeight),
                        centre.get(), CPoint(0, 0), kCoaxMargin);
  knob->setValue(effect->getParameter(layout.centreParameter));
  knob->setExtValue(effect->getParameter(layout.ringParameter));
  knob->setDefaultValue(0.5f);
  knob->setIntRadius(CPoint(layout.centreX, layout.centreY), kCoaxRadius);
  knob->setExtBitmap(ring.get(), layout.ringImages);
  knob->setStep(kCoaxStep);
  frame->addView(knob);
  coaxKnobs[number] = knob;
  parameterControls[layout.centreParameter] = knob;
}

void ADEditor::addAbout() {
  OwningPointer<CBitmap> picture(new CBitmap(kAboutBitmap));
  about = new CAbout(CRect(323, 210, 458, 227), this, kTagAbout, picture.get(),
                     CRect(0, 0, picture->getWidth(), picture->getHeight()), CPoint(0, 0));
  // The hot-spot's rectangle is fixed, not taken from the picture: without a picture a click
  // would open an empty modal view that no click can reach, and the window would go dead.
  if (picture->getWidth() <= 0 || picture->getHeight() <= 0) about->setMouseEnabled(false);
  frame->addView(about);
}

void ADEditor::close() {
  // The panel forgets its controls first; the frame then takes all controls with it.
  CPresetSystemEditor::close();
  clearControlPointers();
  if (frame != nullptr) {
    frame->close();
    frame = nullptr;
  }
  systemWindow = nullptr;
}
