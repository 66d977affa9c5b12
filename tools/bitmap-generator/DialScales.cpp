#include "tools/bitmap-generator/DialScales.h"

#include "tools/bitmap-generator/CairoHandles.h"
#include "tools/bitmap-generator/Drawing.h"
#include "tools/bitmap-generator/KnobGeometry.h"
#include "tools/bitmap-generator/Palette.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace vtgen {

namespace {

constexpr double kScaleTextSize = 8.0;

// Places a label so that its nearest edge keeps the same distance from the centre whatever the
// angle: wide labels at the sides move outwards, flat ones at the top do not.
void dialLabel(cairo_t* cr, Point centre, double radius, double degrees, const std::string& text,
               const TextStyle& style) {
  const double width = textWidth(cr, text, style.size, style.bold);
  const double radians = degrees * std::numbers::pi / 180.0;
  const double capHeight = style.size * 0.72;
  const double reach =
      std::abs(std::sin(radians)) * width / 2.0 + std::abs(std::cos(radians)) * capHeight / 2.0;
  const Point at = polar(centre, radius + reach, degrees);
  drawText(cr, text, at.x, at.y, Align::Centre, style);
}

// The thin arc the ticks stand on.
void scaleArc(cairo_t* cr, Point centre, double radius, Colour colour, double alpha) {
  SavedState saved(cr);
  setColour(cr, colour, alpha);
  cairo_set_line_width(cr, 1.0);
  cairo_new_path(cr);
  const double start = (knobAngle(0.0) - 90.0) * std::numbers::pi / 180.0;
  const double end = (knobAngle(1.0) - 90.0) * std::numbers::pi / 180.0;
  cairo_arc(cr, centre.x, centre.y, radius, start, end);
  cairo_stroke(cr);
}

}  // namespace

std::string formatFrequency(double hertz) {
  char text[16];
  if (hertz < 1000.0) {
    if (hertz == std::floor(hertz))
      std::snprintf(text, sizeof text, "%d", static_cast<int>(hertz));
    else
      std::snprintf(text, sizeof text, "%.1f", hertz);
    return text;
  }
  // Three significant digits, halves rounded up (1125 Hz is "1.13k").
  const double scale = hertz < 10000.0 ? 100.0 : 10.0;
  const double kilo = std::floor(hertz / 1000.0 * scale + 0.5) / scale;
  std::snprintf(text, sizeof text, scale > 10.0 ? "%.2f" : "%.1f", kilo);
  std::string result(text);
  while (result.back() == '0') result.pop_back();
  if (result.back() == '.') result.pop_back();
  return result + "k";
}

double stepPointerPosition(int image, int images, int steps) {
  if (images <= 1 || steps <= 1) return 0.0;
  const double value = static_cast<double>(image) / (images - 1);
  const int step = static_cast<int>(value * (steps - 1) + 0.5);
  return static_cast<double>(step) / (steps - 1);
}

void drawCoaxScale(cairo_t* cr, const CoaxKnob& knob) {
  const Point centre = knob.centre;
  const TextStyle label{kScaleTextSize, false, palette::kFrequency};
  scaleArc(cr, centre, kCoaxTickInner - 0.5, palette::kFrequency, 0.35);
  for (int step = 0; step < 11; ++step) {
    const double degrees = knobAngle(step / 10.0);
    // Labels at the ends, the middle and 3 and 7 keep clear of the neighbouring knobs.
    const bool major = step == 0 || step == 3 || step == 5 || step == 7 || step == 10;
    radialLine(cr, centre, kCoaxTickInner, kCoaxTickInner + (major ? 4.0 : 2.5), degrees,
               major ? 1.3 : 1.0, palette::kFrequency, major ? 0.95 : 0.7);
    if (major)
      dialLabel(cr, centre, kCoaxTickInner + 6.0, degrees,
                formatFrequency(knob.frequencies[static_cast<std::size_t>(step)]), label);
  }
  char range[16];
  std::snprintf(range, sizeof range, "\u00B1%d dB", static_cast<int>(knob.gainRangeDb));
  drawText(cr, range, centre.x, centre.y + 41.0, Align::Centre, {7.5, false, palette::kLegendDim});
}

void drawHighPassScale(cairo_t* cr) {
  const Point centre = kHighPassCentre;
  const TextStyle label{kScaleTextSize, false, palette::kFrequency};
  scaleArc(cr, centre, kSingleTickInner - 0.5, palette::kFrequency, 0.35);
  for (int step = 0; step <= 40; step += 4) {
    const double degrees = knobAngle(step / 40.0);
    const bool major = step % 8 == 0;
    radialLine(cr, centre, kSingleTickInner, kSingleTickInner + (major ? 4.0 : 2.5), degrees,
               major ? 1.3 : 1.0, palette::kFrequency, major ? 0.95 : 0.7);
    if (major)
      dialLabel(cr, centre, kSingleTickInner + 6.0, degrees,
                formatFrequency(kHighPassFrequencies[static_cast<std::size_t>(step)]), label);
  }
  drawText(cr, "Hz", centre.x, centre.y + 41.0, Align::Centre, {7.5, false, palette::kLegendDim});
}

void drawOutputScale(cairo_t* cr) {
  const Point centre = kOutputCentre;
  const TextStyle label{kScaleTextSize, false, palette::kGain};
  scaleArc(cr, centre, kOutputTickInner - 0.5, palette::kGain, 0.3);
  static constexpr const char* kLabels[] = {"-20", "-10", "0", "+10", "+20"};
  for (int decibels = -20; decibels <= 20; decibels += 5) {
    const double degrees = knobAngle((decibels + 20) / 40.0);
    const bool major = decibels % 10 == 0;
    radialLine(cr, centre, kOutputTickInner, kOutputTickInner + (major ? 4.0 : 2.5), degrees,
               major ? 1.3 : 1.0, palette::kGain, major ? 0.95 : 0.7);
    if (major)
      dialLabel(cr, centre, kOutputTickInner + 5.5, degrees, kLabels[(decibels + 20) / 10], label);
  }
}

}  // namespace vtgen
