#include "gui/CDrawContext.h"

#include <cmath>

CDrawContext::CDrawContext(cairo_surface_t* surface, double scaleFactor)
    : cr(cairo_create(surface)), scale(scaleFactor > 0 ? scaleFactor : 1.0) {
  if (scale != 1.0) cairo_scale(cr.get(), scale, scale);
  state.font = kSystemFont;
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr.get(), options);
  cairo_font_options_destroy(options);
}

CCoord CDrawContext::snapToDevicePixel(CCoord coordinate) const {
  return scale == 1.0 ? std::round(coordinate) : std::round(coordinate * scale) / scale;
}

void CDrawContext::setFont(const CFontDesc* font, CCoord /*size*/, int32_t /*style*/) {
  state.font = font ? font : kSystemFont;
}

CCoord CDrawContext::getFontSize() const { return state.font->getSize(); }

void CDrawContext::setClipRect(const CRect& clip) {
  cairo_reset_clip(cr.get());
  cairo_rectangle(cr.get(), clip.left, clip.top, clip.getWidth(), clip.getHeight());
  cairo_clip(cr.get());
}

void CDrawContext::saveGlobalState() {
  stack.push_back(state);
  cairo_save(cr.get());
}

void CDrawContext::restoreGlobalState() {
  if (stack.empty()) return;
  state = stack.back();
  stack.pop_back();
  cairo_restore(cr.get());
}

void CDrawContext::translate(CCoord dx, CCoord dy) { cairo_translate(cr.get(), dx, dy); }

void CDrawContext::setSourceColor(const CColor& c) {
  cairo_set_source_rgba(cr.get(), c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::setAntialias(bool on) {
  cairo_set_antialias(cr.get(), on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
  cairo_t* c = cr.get();
  cairo_save(c);
  setAntialias(false);
  // Odd widths are centred on the pixel so a 1 px line covers exactly one pixel row/column.
  const double half = (static_cast<int>(state.lineWidth) % 2) ? 0.5 : 0.0;
  cairo_move_to(c, from.x + half, from.y + half);
  cairo_line_to(c, to.x + half, to.y + half);
  cairo_set_line_width(c, state.lineWidth);
  cairo_set_line_cap(c, CAIRO_LINE_CAP_SQUARE);
  setSourceColor(state.frameColor);
  cairo_stroke(c);
  cairo_restore(c);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
  cairo_t* c = cr.get();
  cairo_save(c);
  setAntialias(false);
  if (style != kDrawStroked) {
    cairo_rectangle(c, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    setSourceColor(state.fillColor);
    cairo_fill(c);
  }
  if (style != kDrawFilled) {
    // The outline lies inside the rectangle: right and bottom edges are the last pixels.
    const double half = state.lineWidth / 2;
    cairo_rectangle(c, rect.left + half, rect.top + half, rect.getWidth() - state.lineWidth,
                    rect.getHeight() - state.lineWidth);
    cairo_set_line_width(c, state.lineWidth);
    setSourceColor(state.frameColor);
    cairo_stroke(c);
  }
  cairo_restore(c);
}

void CDrawContext::applyFont() { state.font->apply(cr.get()); }

CCoord CDrawContext::getStringWidth(const char* text) {
  const std::string utf8 = toDrawableUtf8(text);
  cairo_save(cr.get());
  applyFont();
  cairo_text_extents_t extents;
  cairo_text_extents(cr.get(), utf8.c_str(), &extents);
  cairo_restore(cr.get());
  return extents.x_advance;
}

CCoord CDrawContext::getCapHeight() {
  cairo_save(cr.get());
  applyFont();
  cairo_text_extents_t extents;
  cairo_text_extents(cr.get(), "H", &extents);
  cairo_restore(cr.get());
  return extents.height > 0 ? -extents.y_bearing : getFontSize() - 1;
}

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align,
                              bool antialias) {
  if (!text || !*text || rect.isEmpty()) return;
  const CCoord width = getStringWidth(text);
  CCoord x = rect.left;
  if (align == kCenterText) x = rect.left + (rect.getWidth() - width) / 2;
  const CCoord baseline = rect.top + rect.getHeight() / 2 + getCapHeight() / 2;
  cairo_save(cr.get());
  cairo_rectangle(cr.get(), rect.left, rect.top, rect.getWidth(), rect.getHeight());
  cairo_clip(cr.get());
  drawString(text, CPoint(snapToDevicePixel(x), snapToDevicePixel(baseline)), antialias);
  cairo_restore(cr.get());
}

void CDrawContext::drawString(const char* text, const CPoint& baselineStart, bool antialias) {
  if (!text || !*text) return;
  const std::string utf8 = toDrawableUtf8(text);
  cairo_t* c = cr.get();
  cairo_save(c);
  setAntialias(antialias);
  applyFont();
  setSourceColor(state.fontColor);
  cairo_move_to(c, baselineStart.x, baselineStart.y);
  cairo_show_text(c, utf8.c_str());
  cairo_new_path(c);
  cairo_restore(c);
}

std::string toDrawableUtf8(const char* text) {
  std::string out;
  if (!text) return out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    int length = 0;
    if (*s < 0x80)
      length = 1;
    else if ((*s & 0xE0) == 0xC0 && *s >= 0xC2)
      length = 2;
    else if ((*s & 0xF0) == 0xE0)
      length = 3;
    else if ((*s & 0xF8) == 0xF0 && *s <= 0xF4)
      length = 4;
    bool valid = length > 0;
    for (int i = 1; valid && i < length; ++i) valid = (s[i] & 0xC0) == 0x80;
    // Overlong forms, surrogates and code points above U+10FFFF are not UTF-8 either.
    if (valid && length == 3) valid = !(*s == 0xE0 && s[1] < 0xA0) && !(*s == 0xED && s[1] >= 0xA0);
    if (valid && length == 4) valid = !(*s == 0xF0 && s[1] < 0x90) && !(*s == 0xF4 && s[1] >= 0x90);
    if (valid) {
      out.append(reinterpret_cast<const char*>(s), length);
      s += length;
    } else {
      out.push_back(static_cast<char>(0xC0 | (*s >> 6)));
      out.push_back(static_cast<char>(0x80 | (*s & 0x3F)));
      ++s;
    }
  }
  return out;
}
