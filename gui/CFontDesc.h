#pragma once

#include "gui/CBaseObject.h"
#include "gui/CPoint.h"

#include <cairo.h>

#include <string>

enum CTxtFace {
  kNormalFace = 0,
  kBoldFace = 1 << 1,
  kItalicFace = 1 << 2,
  kUnderlineFace = 1 << 3,
};

// A font by family name, pixel size and style, resolved through fontconfig when drawn.
class CFontDesc : public CBaseObject {
 public:
  CFontDesc(const char* name = "", CCoord size = 0, int32_t style = kNormalFace);

  const char* getName() const { return name.c_str(); }
  CCoord getSize() const { return size; }
  int32_t getStyle() const { return style; }
  void setName(const char* n) { name = n ? n : ""; }
  void setSize(CCoord s) { size = s; }
  void setStyle(int32_t s) { style = s; }

  // Selects this font on a cairo context; size 0 / style -1 mean the font's own.
  void apply(cairo_t* cr, CCoord sizeOverride = 0, int32_t styleOverride = -1) const;

 private:
  std::string name;
  CCoord size;
  int32_t style;
};

using CFontRef = CFontDesc*;

extern const CFontRef kSystemFont;
extern const CFontRef kNormalFontVeryBig;
extern const CFontRef kNormalFontBig;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;
extern const CFontRef kNormalFontSmaller;
extern const CFontRef kNormalFontVerySmall;
extern const CFontRef kSymbolFont;
