#include "gui/CBitmap.h"

#include "gui/CDrawContext.h"

#include <cmath>
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

std::string CResourceDescription::fileName(int pixelRatio) const {
  std::string base = fileName();
  if (pixelRatio == 1) return base;
  char suffix[16];
  std::snprintf(suffix, sizeof(suffix), "@%dx", pixelRatio);
  const size_t dot = base.rfind('.');
  return dot == std::string::npos ? base + suffix : base.insert(dot, suffix);
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

CairoSurfacePtr CBitmap::decodePng(const unsigned char* data, size_t size) {
  PngReader reader{data, size, 0};
  CairoSurfacePtr decoded(cairo_image_surface_create_from_png_stream(readPng, &reader));
  if (cairo_surface_status(decoded.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  if (cairo_image_surface_get_format(decoded.get()) == CAIRO_FORMAT_ARGB32) return decoded;
  // Grey or palette PNGs decode to other formats; everything is drawn from ARGB32.
  CairoSurfacePtr converted(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(decoded.get()),
                                 cairo_image_surface_get_height(decoded.get())));
  CairoContextPtr cr(cairo_create(converted.get()));
  cairo_set_source_surface(cr.get(), decoded.get(), 0, 0);
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr.get());
  cairo_surface_flush(converted.get());
  return converted;
}

void CBitmap::loadPng(const unsigned char* data, size_t size) {
  surface = decodePng(data, size);
  if (!surface) return;
  width = cairo_image_surface_get_width(surface.get());
  height = cairo_image_surface_get_height(surface.get());
}

cairo_surface_t* CBitmap::getHighResolutionSurface() {
  if (highResolutionLooked) return highResolution.get();
  highResolutionLooked = true;
  const bool isResource = description.id >= 0 || !description.name.empty();
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!surface || !isResource || !gProvider ||
      !gProvider(description.fileName(kHighResolutionRatio).c_str(), &data, &size) || !data)
    return nullptr;
  CairoSurfacePtr decoded = decodePng(data, size);
  // A version of another shape would put every image of a strip in the wrong place.
  if (decoded && cairo_image_surface_get_width(decoded.get()) == width * kHighResolutionRatio &&
      cairo_image_surface_get_height(decoded.get()) == height * kHighResolutionRatio)
    highResolution = std::move(decoded);
  return highResolution.get();
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
  if (!surface || !context || rect.isEmpty()) return;
  if (context->getScaleFactor() != 1.0) {
    drawScaled(context, rect, offset);
    return;
  }
  cairo_t* cr = context->getCairo();
  cairo_save(cr);
  cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
  cairo_clip(cr);
  cairo_set_source_surface(cr, surface.get(), rect.left - offset.x, rect.top - offset.y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

void CBitmap::drawScaled(CDrawContext* context, const CRect& rect, const CPoint& offset) {
  // As at scale 1, nothing is drawn where the picture does not reach.
  const CPoint origin(rect.left - offset.x, rect.top - offset.y);
  CRect area(origin.x, origin.y, origin.x + width, origin.y + height);
  area.bound(rect);
  if (area.isEmpty()) return;
  cairo_surface_t* source = getHighResolutionSurface();
  const double ratio = source ? kHighResolutionRatio : 1.0;
  if (!source) source = surface.get();
  // Only the region shown is the source, so filtering never reaches into the neighbouring
  // image of a strip.
  CairoSurfacePtr region(cairo_surface_create_for_rectangle(
      source, (area.left - origin.x) * ratio, (area.top - origin.y) * ratio,
      area.getWidth() * ratio, area.getHeight() * ratio));
  CairoPatternPtr patternHandle(cairo_pattern_create_for_surface(region.get()));
  cairo_pattern_t* pattern = patternHandle.get();
  cairo_matrix_t toPicture;
  cairo_matrix_init_scale(&toPicture, ratio, ratio);
  cairo_matrix_translate(&toPicture, -area.left, -area.top);
  cairo_pattern_set_matrix(pattern, &toPicture);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  // Whole device pixels per picture pixel are copied. Anything else is resampled: down to
  // three quarters (2x pictures at 1.5x) bilinear interpolation still reads every picture pixel
  // and costs a tenth of a wider filter at every redraw; only a stronger reduction needs one.
  const double devicePerPicture = context->getScaleFactor() / ratio;
  const bool whole = devicePerPicture >= 1.0 && devicePerPicture == std::floor(devicePerPicture);
  cairo_pattern_set_filter(pattern, whole                      ? CAIRO_FILTER_NEAREST
                                    : devicePerPicture >= 0.75 ? CAIRO_FILTER_BILINEAR
                                                               : CAIRO_FILTER_GOOD);

  cairo_t* cr = context->getCairo();
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.getWidth(), area.getHeight());
  cairo_clip(cr);
  cairo_set_source(cr, pattern);
  cairo_paint(cr);
  cairo_restore(cr);
}
