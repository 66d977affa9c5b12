// Paints the editor's background: the brushed plate with its section grooves, every printed
// legend and scale, the read-out windows and the preset rail. Controls are not part of it; their
// strips carry a copy of the plate beneath them.
#pragma once

#include "tools/bitmap-generator/CairoHandles.h"

namespace vtgen {

class PanelPainter {
 public:
  Surface paint(int pixelRatio = 1) const;

 private:
  void paintPlate(cairo_t* cr, cairo_surface_t* surface) const;
  void paintGrooves(cairo_t* cr) const;
  void paintScrews(cairo_t* cr) const;
  void paintControlLegends(cairo_t* cr) const;
  void paintLatencyWindow(cairo_t* cr) const;
  void paintNamePlate(cairo_t* cr) const;
};

// A slotted screw head, as in the plate's corners and the about picture.
void drawScrew(cairo_t* cr, double x, double y, double degrees);

}  // namespace vtgen
