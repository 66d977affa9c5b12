// Paints the turning parts of the knobs: the tinted gain caps with their fixed tick bezel, the
// knurled frequency collars, and the single knobs (a skirt with an index under a cap).
#pragma once

#include "tools/bitmap-generator/Drawing.h"

#include <cairo.h>

namespace vtgen {

class KnobPainter {
 public:
  // Centre part of a band knob: the gain scale bezel and the cap pointing at `position` (0..1).
  void paintCoaxCentre(cairo_t* cr, Point centre, double position, Colour tint,
                       int gainTicks) const;

  // The frequency collar alone, on a transparent picture: nothing is drawn inside its inner
  // radius, so the centre picture beneath shows through.
  void paintCoaxCollar(cairo_t* cr, Point centre, double position) const;

  void paintSingleKnob(cairo_t* cr, Point centre, double skirtRadius, double capRadius,
                       double position, Colour index) const;

 private:
  void paintCap(cairo_t* cr, Point centre, double radius, double degrees, Colour tint) const;
  void paintKnurledRing(cairo_t* cr, Point centre, double inner, double outer,
                        double degrees) const;
};

}  // namespace vtgen
