#include "tools/bitmap-generator/Drawing.h"

#include "tools/bitmap-generator/CairoHandles.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace vtgen {

namespace {

constexpr const char* kFontFamily = "Liberation Sans";
constexpr int kStreakRadius = 24;

void selectFont(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

}  // namespace

Colour mix(Colour a, Colour b, double amount) {
  return {a.r + (b.r - a.r) * amount, a.g + (b.g - a.g) * amount, a.b + (b.b - a.b) * amount};
}

void setColour(cairo_t* cr, Colour colour, double alpha) {
  cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void fillBox(cairo_t* cr, Box box, Colour colour, double alpha) {
  setColour(cr, colour, alpha);
  cairo_rectangle(cr, box.left, box.top, box.width, box.height);
  cairo_fill(cr);
}

void horizontalLine(cairo_t* cr, int x0, int x1, int y, Colour colour, double alpha) {
  fillBox(cr, {std::min(x0, x1), y, std::abs(x1 - x0) + 1, 1}, colour, alpha);
}

void verticalLine(cairo_t* cr, int x, int y0, int y1, Colour colour, double alpha) {
  fillBox(cr, {x, std::min(y0, y1), 1, std::abs(y1 - y0) + 1}, colour, alpha);
}

void frameBox(cairo_t* cr, Box box, Colour colour, double alpha) {
  horizontalLine(cr, box.left, box.right() - 1, box.top, colour, alpha);
  horizontalLine(cr, box.left, box.right() - 1, box.bottom() - 1, colour, alpha);
  verticalLine(cr, box.left, box.top + 1, box.bottom() - 2, colour, alpha);
  verticalLine(cr, box.right() - 1, box.top + 1, box.bottom() - 2, colour, alpha);
}

void sunkenFrame(cairo_t* cr, Box box, double depth) {
  const Colour black{0, 0, 0};
  const Colour white{1, 1, 1};
  horizontalLine(cr, box.left, box.right() - 1, box.top, black, 0.55 * depth);
  verticalLine(cr, box.left, box.top + 1, box.bottom() - 1, black, 0.45 * depth);
  horizontalLine(cr, box.left + 1, box.right() - 1, box.bottom() - 1, white, 0.16 * depth);
  verticalLine(cr, box.right() - 1, box.top + 1, box.bottom() - 2, white, 0.12 * depth);
}

void roundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius) {
  const double degree = std::numbers::pi / 180.0;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + width - radius, y + radius, radius, -90 * degree, 0);
  cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, 90 * degree);
  cairo_arc(cr, x + radius, y + height - radius, radius, 90 * degree, 180 * degree);
  cairo_arc(cr, x + radius, y + radius, radius, 180 * degree, 270 * degree);
  cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double top, double bottom, Colour upper, Colour lower) {
  Pattern gradient(cairo_pattern_create_linear(0, top, 0, bottom));
  cairo_pattern_add_color_stop_rgb(gradient.get(), 0.0, upper.r, upper.g, upper.b);
  cairo_pattern_add_color_stop_rgb(gradient.get(), 1.0, lower.r, lower.g, lower.b);
  cairo_set_source(cr, gradient.get());
  cairo_fill(cr);
}

double textWidth(cairo_t* cr, std::string_view text, double size, bool bold) {
  SavedState saved(cr);
  selectFont(cr, size, bold);
  const std::string owned(text);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, owned.c_str(), &extents);
  return extents.x_advance;
}

double drawText(cairo_t* cr, std::string_view text, double x, double y, Align align,
                const TextStyle& style) {
  SavedState saved(cr);
  selectFont(cr, style.size, style.bold);
  const std::string owned(text);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, owned.c_str(), &extents);
  cairo_text_extents_t capital;
  cairo_text_extents(cr, "H", &capital);

  double left = x;
  if (align == Align::Centre)
    left = x - extents.x_advance / 2.0;
  else if (align == Align::Right)
    left = x - extents.x_advance;
  // Whole-pixel origins keep hinted glyph stems on the pixel grid.
  const double originX = std::round(left);
  const double originY = std::round(y - capital.y_bearing / 2.0);

  if (style.shadow) {
    setColour(cr, {0, 0, 0}, 0.45 * style.alpha);
    cairo_move_to(cr, originX, originY + 1);
    cairo_show_text(cr, owned.c_str());
  }
  setColour(cr, style.colour, style.alpha);
  cairo_move_to(cr, originX, originY);
  cairo_show_text(cr, owned.c_str());
  // show_text leaves a current point behind; a later arc would draw a line from it.
  cairo_new_path(cr);
  return extents.x_advance;
}

double knobAngle(double position) { return kKnobStartDegrees + kKnobSweepDegrees * position; }

Point polar(Point centre, double radius, double degrees) {
  const double radians = degrees * std::numbers::pi / 180.0;
  return {centre.x + radius * std::sin(radians), centre.y - radius * std::cos(radians)};
}

void radialLine(cairo_t* cr, Point centre, double innerRadius, double outerRadius, double degrees,
                double width, Colour colour, double alpha) {
  const Point from = polar(centre, innerRadius, degrees);
  const Point to = polar(centre, outerRadius, degrees);
  SavedState saved(cr);
  setColour(cr, colour, alpha);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_move_to(cr, from.x, from.y);
  cairo_line_to(cr, to.x, to.y);
  cairo_stroke(cr);
}

void softShadow(cairo_t* cr, Point centre, double radius, double offsetY, double spread,
                double strength) {
  Pattern shadow(cairo_pattern_create_radial(centre.x, centre.y + offsetY, radius - spread * 0.5,
                                             centre.x, centre.y + offsetY, radius + spread));
  cairo_pattern_add_color_stop_rgba(shadow.get(), 0.0, 0, 0, 0, strength);
  cairo_pattern_add_color_stop_rgba(shadow.get(), 1.0, 0, 0, 0, 0.0);
  SavedState saved(cr);
  cairo_set_source(cr, shadow.get());
  cairo_new_path(cr);
  cairo_arc(cr, centre.x, centre.y + offsetY, radius + spread, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
}

std::uint64_t Noise::next() {
  // splitmix64: tiny, well mixed, identical on every machine.
  state_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Noise::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

void brushTexture(cairo_surface_t* image, Box windowBox, double streakStrength,
                  double grainStrength, std::uint64_t seed) {
  cairo_surface_flush(image);
  // Streaks as long on the screen at every pixel ratio.
  const int ratio = pixelRatioOf(image);
  const Box box{windowBox.left * ratio, windowBox.top * ratio, windowBox.width * ratio,
                windowBox.height * ratio};
  const int streakRadius = kStreakRadius * ratio;
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  const int imageWidth = cairo_image_surface_get_width(image);
  const int imageHeight = cairo_image_surface_get_height(image);
  Noise noise(seed);

  std::vector<double> raw(static_cast<std::size_t>(box.width + 2 * streakRadius));
  std::vector<double> streak(static_cast<std::size_t>(box.width));
  double rowDrift = 0.0;
  for (int y = box.top; y < box.bottom(); ++y) {
    for (double& value : raw) value = noise.signedUniform();
    // A moving average turns white noise into the long scratches of a brushed plate.
    double sum = 0.0;
    for (int i = 0; i < 2 * streakRadius; ++i) sum += raw[static_cast<std::size_t>(i)];
    for (int x = 0; x < box.width; ++x) {
      sum += raw[static_cast<std::size_t>(x + 2 * streakRadius)];
      streak[static_cast<std::size_t>(x)] = sum / std::sqrt(2.0 * streakRadius + 1.0);
      sum -= raw[static_cast<std::size_t>(x)];
    }
    rowDrift = rowDrift * 0.6 + noise.signedUniform() * 0.4;
    if (y < 0 || y >= imageHeight) continue;
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = box.left; x < box.right(); ++x) {
      if (x < 0 || x >= imageWidth) continue;
      const double factor =
          1.0 + streakStrength * (streak[static_cast<std::size_t>(x - box.left)] * 0.7 + rowDrift) +
          grainStrength * noise.signedUniform();
      std::uint32_t pixel = row[x];
      const std::uint32_t alpha = pixel >> 24;
      std::uint32_t out = alpha << 24;
      for (int shift = 0; shift <= 16; shift += 8) {
        const double channel = static_cast<double>((pixel >> shift) & 0xFF) * factor;
        const auto clamped = static_cast<std::uint32_t>(
            std::clamp(std::lround(channel), 0L, static_cast<long>(alpha)));
        out |= clamped << shift;
      }
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(image);
}

}  // namespace vtgen
