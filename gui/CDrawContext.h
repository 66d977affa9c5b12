#pragma once

#include "gui/CColor.h"
#include "gui/CFontDesc.h"
#include "gui/CRect.h"
#include "gui/CairoHandles.h"

#include <string>
#include <vector>

enum CDrawStyle {
  kDrawStroked = 0,
  kDrawFilled,
  kDrawFilledAndStroked,
};

enum CHoriTxtAlign {
  kLeftText = 0,
  kCenterText,
};

// Drawing on a cairo image surface with the toolkit's pixel rules: shapes are not antialiased
// and 1 px strokes fall on whole pixels, text sits on a whole-pixel baseline, bitmaps are copied
// unscaled. With a scale factor every coordinate stays in layout pixels while the surface has
// `scale` device pixels for each: lines, shapes and text are drawn at the device's resolution,
// bitmaps from their sharpest version.
class CDrawContext {
 public:
  explicit CDrawContext(cairo_surface_t* surface, double scale = 1.0);
  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;

  cairo_t* getCairo() const { return cr.get(); }
  // Device pixels per layout pixel.
  double getScaleFactor() const { return scale; }
  // The nearest coordinate that falls on a whole device pixel.
  CCoord snapToDevicePixel(CCoord coordinate) const;

  void setLineWidth(CCoord width) { state.lineWidth = width; }
  CCoord getLineWidth() const { return state.lineWidth; }
  void setFillColor(const CColor& c) { state.fillColor = c; }
  CColor getFillColor() const { return state.fillColor; }
  void setFrameColor(const CColor& c) { state.frameColor = c; }
  CColor getFrameColor() const { return state.frameColor; }
  void setFontColor(const CColor& c) { state.fontColor = c; }
  CColor getFontColor() const { return state.fontColor; }
  // Text is drawn regular in the font's own size; the size (0) and style (-1) are not used.
  void setFont(const CFontDesc* font, CCoord size = 0, int32_t style = -1);
  const CFontDesc* getFont() const { return state.font; }
  CCoord getFontSize() const;

  // Clip rectangles are in the current (possibly translated) coordinates.
  void setClipRect(const CRect& clip);
  void saveGlobalState();
  void restoreGlobalState();
  // Moves the origin; children of a container draw in its coordinates.
  void translate(CCoord dx, CCoord dy);

  void drawLine(const CPoint& from, const CPoint& to);
  void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);

  void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText,
                  bool antialias = true);
  void drawString(const char* text, const CPoint& baselineStart, bool antialias = true);
  CCoord getStringWidth(const char* text);
  // Height of a capital letter of the current font, for vertical centring.
  CCoord getCapHeight();

 private:
  struct State {
    CCoord lineWidth = 1;
    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kWhiteCColor;
    const CFontDesc* font = nullptr;
  };

  void setSourceColor(const CColor& c);
  void applyFont();
  void setAntialias(bool on);

  CairoContextPtr cr;
  double scale;
  State state;
  std::vector<State> stack;
};

// Text for cairo: valid UTF-8 is kept, any other byte is read as Latin-1.
std::string toDrawableUtf8(const char* text);
