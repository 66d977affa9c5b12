#include "gui/CFontDesc.h"

CFontDesc::CFontDesc(const char* n, CCoord s) : name(n ? n : ""), size(s) {}

void CFontDesc::apply(cairo_t* cr) const {
  cairo_select_font_face(cr, name.c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

// "Arial" resolves to a metric-compatible face (Liberation Sans) through fontconfig's aliases.
static CFontDesc gSystemFont("Arial", 12);
static CFontDesc gNormalFont("Arial", 12);
static CFontDesc gNormalFontSmall("Arial", 11);
static CFontDesc gNormalFontVerySmall("Arial", 9);

const CFontRef kSystemFont = &gSystemFont;
const CFontRef kNormalFont = &gNormalFont;
const CFontRef kNormalFontSmall = &gNormalFontSmall;
const CFontRef kNormalFontVerySmall = &gNormalFontVerySmall;
