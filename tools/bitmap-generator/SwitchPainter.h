// Paints the lit push buttons, the three-position slide switches and the clip lamp.
#pragma once

#include "tools/bitmap-generator/PanelLayout.h"

#include <cairo.h>

namespace vtgen {

enum class LampState { Off, Held, On };

class SwitchPainter {
 public:
  // A push button with an amber lens that is dark when off and lit when on.
  void paintToggle(cairo_t* cr, Box box, bool on) const;

  // A slot with a lever resting on one of three positions (0 left .. 2 right).
  void paintSelector(cairo_t* cr, Box box, int position) const;

  // A round red lamp in a bezel; held glows less than on.
  void paintLamp(cairo_t* cr, Box box, LampState state) const;
};

}  // namespace vtgen
