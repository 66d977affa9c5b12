// Drawing primitives shared by the painters: colours, pixel-aligned lines, legends, dial geometry
// and the brushed-metal texture.
#pragma once

#include "tools/bitmap-generator/PanelLayout.h"

#include <cairo.h>

#include <cstdint>
#include <string_view>

namespace vtgen {

struct Colour {
  double r;
  double g;
  double b;
};

constexpr Colour rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

Colour mix(Colour a, Colour b, double amount);

void setColour(cairo_t* cr, Colour colour, double alpha = 1.0);

// Filled rectangle on whole pixels.
void fillBox(cairo_t* cr, Box box, Colour colour, double alpha = 1.0);

// One pixel wide lines through pixel centres, endpoints inclusive.
void horizontalLine(cairo_t* cr, int x0, int x1, int y, Colour colour, double alpha = 1.0);
void verticalLine(cairo_t* cr, int x, int y0, int y1, Colour colour, double alpha = 1.0);

// A one pixel frame lying on the outermost pixels of the box.
void frameBox(cairo_t* cr, Box box, Colour colour, double alpha = 1.0);

// A recessed box: darker top and left edge, lighter bottom and right edge.
void sunkenFrame(cairo_t* cr, Box box, double depth);

// Path of a rectangle with rounded corners (not filled or stroked).
void roundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius);

// Vertical two-colour gradient fill of the current path.
void fillVertical(cairo_t* cr, double top, double bottom, Colour upper, Colour lower);

enum class Align { Left, Centre, Right };

struct TextStyle {
  double size;
  bool bold;
  Colour colour;
  double alpha = 1.0;
  bool shadow = true;  // a faint dark copy one pixel below, as printed legends on metal look
};

// Draws text whose cap height is centred on y; x is the left edge, the middle or the right
// edge depending on align. Returns the advance width.
double drawText(cairo_t* cr, std::string_view text, double x, double y, Align align,
                const TextStyle& style);
double textWidth(cairo_t* cr, std::string_view text, double size, bool bold);

// Knob dial geometry: angle in degrees clockwise from straight up.
double knobAngle(double position);
Point polar(Point centre, double radius, double degrees);

// A radial line between two radii.
void radialLine(cairo_t* cr, Point centre, double innerRadius, double outerRadius, double degrees,
                double width, Colour colour, double alpha = 1.0);

// Soft round shadow under a circular part.
void softShadow(cairo_t* cr, Point centre, double radius, double offsetY, double spread,
                double strength);

// Deterministic noise so the committed pictures do not change between runs.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  double uniform();  // [0, 1)
  double signedUniform() { return uniform() * 2.0 - 1.0; }

 private:
  std::uint64_t state_;
};

// Horizontal brushing over the given box (window coordinates) of an image surface: per-row
// streaks of random length and brightness, plus fine grain in every image pixel.
void brushTexture(cairo_surface_t* image, Box box, double streakStrength, double grainStrength,
                  std::uint64_t seed);

}  // namespace vtgen
