// The preset rail along the bottom edge: its groups, labels and read-out, and the small keys of
// the preset panel in each of their states.
#pragma once

#include "tools/bitmap-generator/PanelLayout.h"

#include <cairo.h>

namespace vtgen {

// States of a three-image key.
enum class KeyState { Normal, Hover, Pressed };

// States of the rocker, in strip order.
enum class RockerState { None, HoverLeft, HoverRight, PressedLeft, PressedRight };

class PresetRowPainter {
 public:
  // The rail with its wells and labels; with `withKeys` also every key in its normal state, as
  // the background shows them. Key strips are cut from the rail without keys.
  void paintRail(cairo_t* cr, Box rail, bool withKeys = true) const;

  // One key drawn into its own box (window coordinates).
  void paintKey(cairo_t* cr, const PanelButton& button, KeyState state) const;
  void paintRocker(cairo_t* cr, Box box, RockerState state) const;

 private:
  void paintNameField(cairo_t* cr) const;
  void paintKeyFace(cairo_t* cr, Box box, KeyState state) const;
  void paintGlyph(cairo_t* cr, const PanelButton& button, KeyState state) const;
};

}  // namespace vtgen
