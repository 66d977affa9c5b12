#include "tools/bitmap-generator/BitmapSet.h"

#include "tools/bitmap-generator/AboutPainter.h"
#include "tools/bitmap-generator/DialScales.h"
#include "tools/bitmap-generator/KnobGeometry.h"
#include "tools/bitmap-generator/KnobPainter.h"
#include "tools/bitmap-generator/Palette.h"
#include "tools/bitmap-generator/PanelPainter.h"
#include "tools/bitmap-generator/PresetRowPainter.h"
#include "tools/bitmap-generator/SwitchPainter.h"

#include <cstdio>

namespace vtgen {

namespace {

Colour capTint(Band band) {
  switch (band) {
    case Band::Low:
      return rgb(150, 66, 54);
    case Band::LowMid:
      return rgb(62, 100, 150);
    case Band::HighMid:
      return rgb(58, 122, 92);
    case Band::High:
      return rgb(150, 120, 70);
  }
  return rgb(90, 96, 104);
}

// A single picture that is the source itself: the backdrop is all there is to paint.
void copyInto(cairo_surface_t* source, StripBuilder& strip) {
  const Context copied = strip.picture(0, source);
}

}  // namespace

std::string BitmapSet::fileName(int bitmap) {
  char name[32];
  std::snprintf(name, sizeof name, "bmp%05d.png", bitmap);
  return name;
}

std::string BitmapSet::fileName(const std::string& name, int pixelRatio) {
  if (pixelRatio == 1) return name;
  return name.substr(0, name.rfind('.')) + "@" + std::to_string(pixelRatio) + "x.png";
}

StripBuilder& BitmapSet::add(const std::string& fileName, Box place, int images) {
  return strips_.insert_or_assign(fileName, StripBuilder(place, images, pixelRatio_)).first->second;
}

const StripBuilder* BitmapSet::find(const std::string& fileName) const {
  const auto found = strips_.find(fileName);
  return found == strips_.end() ? nullptr : &found->second;
}

void BitmapSet::render() {
  Surface background = PanelPainter().paint(pixelRatio_);
  copyInto(background.get(),
           add(fileName(kBackgroundBitmap), {0, 0, kPanelWidth, kPanelHeight}, 1));
  renderKnobs(background.get());
  renderSwitches(background.get());
  renderPresetKeys(background.get());

  Surface about = AboutPainter().paint(pixelRatio_);
  copyInto(about.get(),
           add(fileName(kAboutBitmap), {0, 0, AboutPainter::kWidth, AboutPainter::kHeight}, 1));
}

void BitmapSet::renderKnobs(cairo_surface_t* background) {
  const KnobPainter knobs;
  for (const CoaxKnob& knob : kCoaxKnobs) {
    StripBuilder& centre = add(fileName(knob.centreBitmap), knob.image, knob.centreImages);
    // A tick every 5 dB on the +/-20 dB bands, every 2 dB on the +/-14 dB ones.
    const int gainTicks = knob.gainRangeDb > 15.0 ? 9 : 15;
    for (int image = 0; image < knob.centreImages; ++image) {
      Context cr = centre.picture(image, background);
      knobs.paintCoaxCentre(cr.get(), knob.centre,
                            static_cast<double>(image) / (knob.centreImages - 1),
                            capTint(knob.band), gainTicks);
    }
    StripBuilder& ring = add(std::string(knob.ringFile), knob.image, knob.ringImages);
    for (int image = 0; image < knob.ringImages; ++image) {
      Context cr = ring.picture(image, nullptr);
      knobs.paintCoaxCollar(cr.get(), knob.centre, stepPointerPosition(image, knob.ringImages, 11));
    }
  }

  StripBuilder& highPass = add(fileName(kHighPassBitmap), kHighPassImage, 41);
  for (int image = 0; image < 41; ++image) {
    Context cr = highPass.picture(image, background);
    knobs.paintSingleKnob(cr.get(), kHighPassCentre, kHighPassSkirtRadius, kHighPassCapRadius,
                          image / 40.0, palette::kFrequency);
  }
  StripBuilder& output = add(fileName(kOutputBitmap), kOutputImage, kOutputImages);
  for (int image = 0; image < kOutputImages; ++image) {
    Context cr = output.picture(image, background);
    knobs.paintSingleKnob(cr.get(), kOutputCentre, kOutputSkirtRadius, kOutputCapRadius,
                          static_cast<double>(image) / (kOutputImages - 1), palette::kWhite);
  }
}

void BitmapSet::renderSwitches(cairo_surface_t* background) {
  const SwitchPainter switches;
  for (const Toggle& toggle : kToggles) {
    const Box place{toggle.left, toggle.top, kButtonWidth, kButtonHeight};
    StripBuilder& strip = add(fileName(toggle.bitmap), place, 2);
    for (int image = 0; image < 2; ++image)
      switches.paintToggle(strip.picture(image, background).get(), place, image == 1);
  }
  for (const Selector& selector : kSelectors) {
    const Box place{selector.left, selector.top, kSwitchWidth, kSwitchHeight};
    StripBuilder& strip = add(fileName(selector.bitmap), place, 3);
    for (int image = 0; image < 3; ++image)
      switches.paintSelector(strip.picture(image, background).get(), place, image);
  }
  StripBuilder& lamp = add(fileName(kLedBitmap), kLed, 3);
  const LampState states[] = {LampState::Off, LampState::Held, LampState::On};
  for (int image = 0; image < 3; ++image)
    switches.paintLamp(lamp.picture(image, background).get(), kLed, states[image]);
}

void BitmapSet::renderPresetKeys(cairo_surface_t* background) {
  // Keys are cut from a rail without keys, so no state shows through another.
  const PresetRowPainter rail;
  Surface bare = makeImage(kPanelWidth, kPanelHeight, pixelRatio_);
  {
    Context cr = makeContext(bare.get());
    cairo_set_source_surface(cr.get(), background, 0, 0);
    cairo_paint(cr.get());
    rail.paintRail(cr.get(), {0, kRailTop, kPanelWidth, kPanelHeight - kRailTop}, false);
  }
  for (const PanelButton& button : kPanelButtons) {
    StripBuilder& strip = add(fileName(button.bitmap), button.box, button.images);
    for (int image = 0; image < button.images; ++image) {
      Context cr = strip.picture(image, bare.get());
      if (button.glyph == PanelGlyph::Rocker)
        rail.paintRocker(cr.get(), button.box, static_cast<RockerState>(image));
      else
        rail.paintKey(cr.get(), button, static_cast<KeyState>(image));
    }
  }
}

bool BitmapSet::write(const std::filesystem::path& folder) const {
  for (const auto& [name, strip] : strips_) {
    const std::filesystem::path file = folder / fileName(name, pixelRatio_);
    if (!strip.write(file)) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace vtgen
