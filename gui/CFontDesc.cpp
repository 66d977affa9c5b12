#include "gui/CFontDesc.h"

CFontDesc::CFontDesc(const char* n, CCoord s, int32_t st) : name(n ? n : ""), size(s), style(st) {}

void CFontDesc::apply(cairo_t* cr, CCoord sizeOverride, int32_t styleOverride) const {
  const int32_t st = styleOverride >= 0 ? styleOverride : style;
  cairo_select_font_face(cr, name.c_str(),
                         (st & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         (st & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, sizeOverride > 0 ? sizeOverride : size);
}

// "Arial" resolves to a metric-compatible face (Liberation Sans) through fontconfig's aliases.
static CFontDesc gSystemFont("Arial", 12);
static CFontDesc gNormalFontVeryBig("Arial", 18);
static CFontDesc gNormalFontBig("Arial", 14);
static CFontDesc gNormalFont("Arial", 12);
static CFontDesc gNormalFontSmall("Arial", 11);
static CFontDesc gNormalFontSmaller("Arial", 10);
static CFontDesc gNormalFontVerySmall("Arial", 9);
static CFontDesc gSymbolFont("Symbol", 12);

const CFontRef kSystemFont = &gSystemFont;
const CFontRef kNormalFontVeryBig = &gNormalFontVeryBig;
const CFontRef kNormalFontBig = &gNormalFontBig;
const CFontRef kNormalFont = &gNormalFont;
const CFontRef kNormalFontSmall = &gNormalFontSmall;
const CFontRef kNormalFontSmaller = &gNormalFontSmaller;
const CFontRef kNormalFontVerySmall = &gNormalFontVerySmall;
const CFontRef kSymbolFont = &gSymbolFont;
