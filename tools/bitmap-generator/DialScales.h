// The printed scales around the knobs. Each tick sits at the angle the knob's picture points to for
// that step, so the legends agree with the strips drawn by KnobPainter.
#pragma once

#include "tools/bitmap-generator/PanelLayout.h"

#include <cairo.h>

#include <string>

namespace vtgen {

// "75", "23.5", "1.55k", "20k": short enough for a dial.
std::string formatFrequency(double hertz);

// Where picture `image` of a stepped knob's strip points (0..1). A knob value selects the
// picture nearest to it and the frequency step nearest to it; when a strip has more pictures than
// the knob has steps (15 pictures, 11 steps) each picture points at the step its own value selects,
// so the pointer always rests on a printed tick, as on a detented switch.
double stepPointerPosition(int image, int images, int steps);

void drawCoaxScale(cairo_t* cr, const CoaxKnob& knob);
void drawHighPassScale(cairo_t* cr);
void drawOutputScale(cairo_t* cr);

}  // namespace vtgen
