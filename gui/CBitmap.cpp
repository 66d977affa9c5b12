#include "gui/CBitmap.h"

#include "gui/CDrawContext.h"

#include <cstdio>
#include <cstring>

namespace {

CBitmap::ResourceProvider gProvider = nullptr;

struct PngReader {
  const unsigned char* data;
  size_t size;
  size_t position;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (length > reader->size - reader->position) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->position, length);
  reader->position += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string CResourceDescription::fileName() const {
  if (!name.empty()) return name;
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "bmp%05d.png", static_cast<int>(id));
  return buffer;
}

void CBitmap::setResourceProvider(ResourceProvider provider) { gProvider = provider; }

CBitmap::ResourceProvider CBitmap::getResourceProvider() { return gProvider; }

CBitmap::CBitmap(const CResourceDescription& desc) : description(desc) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (gProvider && gProvider(description.fileName().c_str(), &data, &size) && data)
    loadPng(data, size);
}

CBitmap::CBitmap(CCoord w, CCoord h) : description(-1) {
  if (w <= 0 || h <= 0) return;
  surface.reset(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h)));
  width = w;
  height = h;
}

CBitmap::CBitmap(const unsigned char* pngData, size_t size) : description(-1) {
  loadPng(pngData, size);
}

void CBitmap::loadPng(const unsigned char* data, size_t size) {
  PngReader reader{data, size, 0};
  CairoSurfacePtr decoded(cairo_image_surface_create_from_png_stream(readPng, &reader));
  if (cairo_surface_status(decoded.get()) != CAIRO_STATUS_SUCCESS) return;
  const int w = cairo_image_surface_get_width(decoded.get());
  const int h = cairo_image_surface_get_height(decoded.get());
  if (cairo_image_surface_get_format(decoded.get()) == CAIRO_FORMAT_ARGB32) {
    surface = std::move(decoded);
  } else {
    // Grey or palette PNGs decode to other formats; everything is drawn from ARGB32.
    surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    CairoContextPtr cr(cairo_create(surface.get()));
    cairo_set_source_surface(cr.get(), decoded.get(), 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    cairo_surface_flush(surface.get());
  }
  width = w;
  height = h;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha) {
  if (!surface || !context || rect.isEmpty()) return;
  cairo_t* cr = context->getCairo();
  cairo_save(cr);
  cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
  cairo_clip(cr);
  cairo_set_source_surface(cr, surface.get(), rect.left - offset.x, rect.top - offset.y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  if (alpha >= 1.f)
    cairo_paint(cr);
  else
    cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}
