#include "tools/bitmap-generator/KnobPainter.h"

#include "tools/bitmap-generator/CairoHandles.h"
#include "tools/bitmap-generator/KnobGeometry.h"
#include "tools/bitmap-generator/Palette.h"

#include <cmath>
#include <numbers>

namespace vtgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kKnurlTeeth = 40;

void circle(cairo_t* cr, Point centre, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, centre.x, centre.y, radius, 0, kTwoPi);
}

void annulus(cairo_t* cr, Point centre, double inner, double outer) {
  cairo_new_path(cr);
  cairo_arc(cr, centre.x, centre.y, outer, 0, kTwoPi);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, centre.x, centre.y, inner, kTwoPi, 0);
}

// Light falls from the upper left: a diagonal gradient between two colours.
void fillLit(cairo_t* cr, Point centre, double radius, Colour light, Colour dark) {
  Pattern gradient(cairo_pattern_create_linear(centre.x - radius * 0.7, centre.y - radius * 0.7,
                                               centre.x + radius * 0.7, centre.y + radius * 0.7));
  cairo_pattern_add_color_stop_rgb(gradient.get(), 0.0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(gradient.get(), 1.0, dark.r, dark.g, dark.b);
  cairo_set_source(cr, gradient.get());
  cairo_fill(cr);
}

void roundPointer(cairo_t* cr, Point centre, double inner, double outer, double degrees,
                  double width, Colour colour) {
  const Point from = polar(centre, inner, degrees);
  const Point to = polar(centre, outer, degrees);
  SavedState saved(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, width + 1.0);
  setColour(cr, palette::kBlack, 0.35);
  cairo_move_to(cr, from.x, from.y + 0.6);
  cairo_line_to(cr, to.x, to.y + 0.6);
  cairo_stroke(cr);
  cairo_set_line_width(cr, width);
  setColour(cr, colour);
  cairo_move_to(cr, from.x, from.y);
  cairo_line_to(cr, to.x, to.y);
  cairo_stroke(cr);
}

}  // namespace

void KnobPainter::paintCap(cairo_t* cr, Point centre, double radius, double degrees,
                           Colour tint) const {
  softShadow(cr, centre, radius, 1.6, 3.0, 0.65);
  // Side wall, then the slightly smaller top face.
  circle(cr, centre, radius);
  fillLit(cr, centre, radius, mix(tint, palette::kWhite, 0.35), mix(tint, palette::kBlack, 0.65));
  const double top = radius - 2.0;
  circle(cr, centre, top);
  fillLit(cr, centre, top, mix(tint, palette::kBlack, 0.05), mix(tint, palette::kBlack, 0.35));
  // Spun finish: faint concentric rings.
  cairo_set_line_width(cr, 0.6);
  for (double r = 2.0; r < top - 0.5; r += 1.6) {
    circle(cr, centre, r);
    setColour(cr, palette::kWhite, std::fmod(r, 3.2) < 1.6 ? 0.035 : 0.0);
    cairo_stroke(cr);
  }
  // Specular highlight towards the light.
  Pattern gloss(cairo_pattern_create_radial(centre.x - top * 0.35, centre.y - top * 0.45, 0.5,
                                            centre.x - top * 0.2, centre.y - top * 0.25,
                                            top * 1.05));
  cairo_pattern_add_color_stop_rgba(gloss.get(), 0.0, 1, 1, 1, 0.30);
  cairo_pattern_add_color_stop_rgba(gloss.get(), 1.0, 1, 1, 1, 0.0);
  circle(cr, centre, top);
  cairo_set_source(cr, gloss.get());
  cairo_fill(cr);
  // Rim light on the top edge.
  cairo_set_line_width(cr, 1.0);
  circle(cr, centre, top - 0.5);
  setColour(cr, palette::kWhite, 0.14);
  cairo_stroke(cr);

  roundPointer(cr, centre, radius * 0.28, top - 1.2, degrees, 2.0, palette::kWhite);
}

void KnobPainter::paintKnurledRing(cairo_t* cr, Point centre, double inner, double outer,
                                   double degrees) const {
  {
    // The shadow falls outside only: inside the collar the centre picture must show through.
    SavedState shadowScope(cr);
    annulus(cr, centre, outer - 2.0, outer + 6.0);
    cairo_clip(cr);
    // Short and tight: a band knob's collar ends 2.5 pixels inside its picture, and a
    // shadow cut off by the picture's edge would show as a line.
    softShadow(cr, centre, outer, 1.0, 1.5, 0.75);
  }
  annulus(cr, centre, inner, outer);
  fillLit(cr, centre, outer, rgb(104, 110, 120), rgb(22, 24, 28));

  // Teeth turn with the ring, so a change of value reads as rotation even between ticks.
  SavedState saved(cr);
  annulus(cr, centre, inner + 1.0, outer - 0.6);
  cairo_clip(cr);
  const double pitch = 360.0 / kKnurlTeeth;
  for (int tooth = 0; tooth < kKnurlTeeth; ++tooth) {
    const double angle = degrees + pitch * (tooth + 0.5);
    radialLine(cr, centre, inner + 1.0, outer, angle, 1.0, palette::kBlack, 0.42);
    radialLine(cr, centre, inner + 1.0, outer, angle + 1.6, 0.7, palette::kWhite, 0.10);
  }
  // Bevels: a light inner chamfer and a dark outer edge.
  cairo_set_line_width(cr, 1.0);
  circle(cr, centre, inner + 0.5);
  setColour(cr, palette::kWhite, 0.16);
  cairo_stroke(cr);
  circle(cr, centre, outer - 0.5);
  setColour(cr, palette::kBlack, 0.55);
  cairo_stroke(cr);
}

void KnobPainter::paintCoaxCentre(cairo_t* cr, Point centre, double position, Colour tint,
                                  int gainTicks) const {
  // The bezel does not turn: it carries the gain scale the cap's pointer reads against.
  annulus(cr, centre, kCoaxCapRadius - 1.0, kCoaxBezelOuter);
  fillLit(cr, centre, kCoaxBezelOuter, rgb(34, 37, 42), rgb(14, 15, 18));
  cairo_set_line_width(cr, 1.0);
  circle(cr, centre, kCoaxBezelOuter - 0.5);
  setColour(cr, palette::kWhite, 0.10);
  cairo_stroke(cr);
  for (int tick = 0; tick < gainTicks; ++tick) {
    const double at = static_cast<double>(tick) / (gainTicks - 1);
    const bool centreTick = 2 * tick == gainTicks - 1;
    const bool end = tick == 0 || tick == gainTicks - 1;
    radialLine(cr, centre, kCoaxCapRadius + (centreTick || end ? 0.6 : 1.6), kCoaxBezelOuter - 0.8,
               knobAngle(at), centreTick ? 1.4 : 1.0, palette::kGain,
               centreTick || end ? 0.95 : 0.6);
  }
  paintCap(cr, centre, kCoaxCapRadius, knobAngle(position), tint);
}

void KnobPainter::paintCoaxCollar(cairo_t* cr, Point centre, double position) const {
  const double degrees = knobAngle(position);
  paintKnurledRing(cr, centre, kCoaxCollarInner, kCoaxCollarOuter, degrees);
  // The index: a warm line across the collar that lines up with the frequency ticks outside.
  radialLine(cr, centre, kCoaxCollarInner + 1.0, kCoaxCollarOuter - 0.5, degrees, 2.6,
             palette::kBlack, 0.5);
  radialLine(cr, centre, kCoaxCollarInner + 1.0, kCoaxCollarOuter - 0.5, degrees, 1.7,
             palette::kFrequency);
}

void KnobPainter::paintSingleKnob(cairo_t* cr, Point centre, double skirtRadius, double capRadius,
                                  double position, Colour index) const {
  const double degrees = knobAngle(position);
  paintKnurledRing(cr, centre, capRadius - 1.0, skirtRadius, degrees);
  radialLine(cr, centre, capRadius + 0.5, skirtRadius - 0.5, degrees, 2.6, palette::kBlack, 0.5);
  radialLine(cr, centre, capRadius + 0.5, skirtRadius - 0.5, degrees, 1.7, index);
  paintCap(cr, centre, capRadius, degrees, rgb(58, 63, 71));
}

}  // namespace vtgen
