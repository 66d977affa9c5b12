#include "tools/bitmap-generator/SwitchPainter.h"

#include "tools/bitmap-generator/CairoHandles.h"
#include "tools/bitmap-generator/Drawing.h"
#include "tools/bitmap-generator/Palette.h"

#include <cmath>
#include <numbers>

namespace vtgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

void glow(cairo_t* cr, Point centre, double inner, double outer, Colour colour, double strength) {
  Pattern halo(cairo_pattern_create_radial(centre.x, centre.y, inner, centre.x, centre.y, outer));
  cairo_pattern_add_color_stop_rgba(halo.get(), 0.0, colour.r, colour.g, colour.b, strength);
  cairo_pattern_add_color_stop_rgba(halo.get(), 1.0, colour.r, colour.g, colour.b, 0.0);
  cairo_set_source(cr, halo.get());
  cairo_arc(cr, centre.x, centre.y, outer, 0, kTwoPi);
  cairo_fill(cr);
}

}  // namespace

void SwitchPainter::paintToggle(cairo_t* cr, Box box, bool on) const {
  // Bezel: a black surround, then the button body, lower by one pixel when latched in.
  roundedRectPath(cr, box.left, box.top, box.width, box.height, 3.0);
  setColour(cr, palette::kBlack, 0.8);
  cairo_fill(cr);
  const double sink = on ? 1.0 : 0.0;
  const Box body{box.left + 1, box.top + 1, box.width - 2, box.height - 2};
  roundedRectPath(cr, body.left, body.top, body.width, body.height, 2.0);
  fillVertical(cr, body.top, body.bottom(), on ? rgb(62, 68, 77) : rgb(96, 104, 116),
               on ? rgb(44, 49, 56) : rgb(50, 55, 63));
  if (!on) horizontalLine(cr, body.left + 2, body.right() - 3, body.top, palette::kWhite, 0.25);

  // Lens.
  const double lensLeft = body.left + 3;
  const double lensTop = body.top + 3 + sink;
  const double lensWidth = body.width - 6;
  const double lensHeight = body.height - 6 - sink;
  roundedRectPath(cr, lensLeft - 1, lensTop - 1, lensWidth + 2, lensHeight + 2, 1.5);
  setColour(cr, palette::kBlack, 0.6);
  cairo_fill(cr);
  roundedRectPath(cr, lensLeft, lensTop, lensWidth, lensHeight, 1.0);
  if (on) {
    fillVertical(cr, lensTop, lensTop + lensHeight, mix(palette::kLamp, palette::kWhite, 0.55),
                 palette::kLamp);
    SavedState saved(cr);
    roundedRectPath(cr, lensLeft, lensTop, lensWidth, lensHeight, 1.0);
    cairo_clip(cr);
    glow(cr, {lensLeft + lensWidth / 2.0, lensTop + lensHeight / 2.0}, 0.0, lensWidth / 2.0,
         palette::kWhite, 0.45);
  } else {
    fillVertical(cr, lensTop, lensTop + lensHeight, mix(palette::kLampOff, palette::kWhite, 0.12),
                 mix(palette::kLampOff, palette::kBlack, 0.3));
    horizontalLine(cr, static_cast<int>(lensLeft) + 1, static_cast<int>(lensLeft + lensWidth) - 2,
                   static_cast<int>(lensTop), palette::kWhite, 0.18);
  }
}

void SwitchPainter::paintSelector(cairo_t* cr, Box box, int position) const {
  // Slot.
  roundedRectPath(cr, box.left, box.top, box.width, box.height, 3.0);
  setColour(cr, palette::kBlack, 0.85);
  cairo_fill(cr);
  roundedRectPath(cr, box.left + 1, box.top + 1, box.width - 2, box.height - 2, 2.0);
  fillVertical(cr, box.top + 1, box.bottom() - 1, rgb(14, 16, 19), rgb(30, 33, 38));
  horizontalLine(cr, box.left + 3, box.right() - 4, box.bottom() - 1, palette::kWhite, 0.10);

  const double segment = box.width / 3.0;
  for (int stop = 0; stop < 3; ++stop) {
    const double x = box.left + segment * (stop + 0.5);
    setColour(cr, palette::kLegendDim, 0.5);
    cairo_arc(cr, x, box.top + box.height / 2.0, 1.2, 0, kTwoPi);
    cairo_fill(cr);
  }

  // Lever: 16 pixels wide on whole pixels, centred on its segment.
  const int leverLeft = box.left + static_cast<int>(std::round(segment * (position + 0.5) - 8.0));
  const Box lever{leverLeft, box.top + 1, 16, box.height - 2};
  softShadow(cr, {lever.left + 8.0, lever.top + lever.height / 2.0}, 6.0, 1.0, 3.0, 0.5);
  roundedRectPath(cr, lever.left, lever.top, lever.width, lever.height, 2.0);
  setColour(cr, palette::kBlack, 0.8);
  cairo_fill(cr);
  roundedRectPath(cr, lever.left + 1, lever.top + 1, lever.width - 2, lever.height - 2, 1.5);
  fillVertical(cr, lever.top + 1, lever.bottom() - 1, rgb(196, 202, 210), rgb(104, 110, 120));
  horizontalLine(cr, lever.left + 2, lever.right() - 3, lever.top + 1, palette::kWhite, 0.55);
  // Grip ridges, with the middle one marking the position.
  for (int ridge = -1; ridge <= 1; ++ridge) {
    const int x = lever.left + 8 + ridge * 3 - (ridge == 0 ? 1 : 0);
    verticalLine(cr, x, lever.top + 3, lever.bottom() - 4, palette::kBlack,
                 ridge == 0 ? 0.55 : 0.3);
    verticalLine(cr, x + 1, lever.top + 3, lever.bottom() - 4, palette::kWhite, 0.35);
  }
}

void SwitchPainter::paintLamp(cairo_t* cr, Box box, LampState state) const {
  const Point centre{box.left + box.width / 2.0, box.top + box.height / 2.0};
  const double bezel = 6.0;
  const double lens = 4.2;
  if (state == LampState::On)
    glow(cr, centre, lens, box.width / 2.0, palette::kClip, 0.95);
  else if (state == LampState::Held)
    glow(cr, centre, lens, box.width / 2.0 - 2.0, palette::kClip, 0.18);
  else
    softShadow(cr, centre, bezel, 0.8, 1.6, 0.6);

  cairo_arc(cr, centre.x, centre.y, bezel, 0, kTwoPi);
  Pattern ring(cairo_pattern_create_linear(centre.x, centre.y - bezel, centre.x, centre.y + bezel));
  cairo_pattern_add_color_stop_rgb(ring.get(), 0.0, 0.80, 0.82, 0.86);
  cairo_pattern_add_color_stop_rgb(ring.get(), 1.0, 0.22, 0.24, 0.27);
  cairo_set_source(cr, ring.get());
  cairo_fill(cr);
  cairo_arc(cr, centre.x, centre.y, lens + 0.8, 0, kTwoPi);
  setColour(cr, palette::kBlack, 0.85);
  cairo_fill(cr);

  const double brightness = state == LampState::On ? 1.0 : state == LampState::Held ? 0.5 : 0.22;
  const Colour body = mix(palette::kBlack, palette::kClip, brightness);
  const Colour hot = state == LampState::Off
                         ? mix(body, palette::kWhite, 0.15)
                         : mix(palette::kClip, palette::kWhite, brightness > 0.9 ? 0.75 : 0.2);
  Pattern lensShade(
      cairo_pattern_create_radial(centre.x - 1.0, centre.y - 1.2, 0.3, centre.x, centre.y, lens));
  cairo_pattern_add_color_stop_rgb(lensShade.get(), 0.0, hot.r, hot.g, hot.b);
  cairo_pattern_add_color_stop_rgb(lensShade.get(), 1.0, body.r, body.g, body.b);
  cairo_arc(cr, centre.x, centre.y, lens, 0, kTwoPi);
  cairo_set_source(cr, lensShade.get());
  cairo_fill(cr);
  // Reflection of the room on the glass.
  cairo_arc(cr, centre.x - 1.4, centre.y - 1.6, 1.2, 0, kTwoPi);
  setColour(cr, palette::kWhite, 0.55);
  cairo_fill(cr);
}

}  // namespace vtgen
