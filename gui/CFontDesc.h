#pragma once

#include "gui/CBaseObject.h"
#include "gui/CPoint.h"

#include <cairo.h>

#include <string>

// A regular font by family name and pixel size, resolved through fontconfig when drawn.
class CFontDesc : public CBaseObject {
 public:
  CFontDesc(const char* name = "", CCoord size = 0);

  const char* getName() const { return name.c_str(); }
  CCoord getSize() const { return size; }

  // Selects this font on a cairo context.
  void apply(cairo_t* cr) const;

 private:
  std::string name;
  CCoord size;
};

using CFontRef = CFontDesc*;

extern const CFontRef kSystemFont;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;
extern const CFontRef kNormalFontVerySmall;
