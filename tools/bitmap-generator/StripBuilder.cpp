#include "tools/bitmap-generator/StripBuilder.h"

namespace vtgen {

StripBuilder::StripBuilder(Box place, int images, int pixelRatio)
    : place_(place),
      images_(images),
      surface_(makeImage(place.width, place.height * images, pixelRatio)) {}

Context StripBuilder::picture(int index, cairo_surface_t* backdrop) {
  Context context = makeContext(surface_.get());
  cairo_t* cr = context.get();
  cairo_rectangle(cr, 0, static_cast<double>(index) * place_.height, place_.width, place_.height);
  cairo_clip(cr);
  cairo_translate(cr, -place_.left, static_cast<double>(index) * place_.height - place_.top);
  if (backdrop != nullptr) {
    cairo_set_source_surface(cr, backdrop, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  }
  return context;
}

bool StripBuilder::write(const std::filesystem::path& file) const {
  cairo_surface_flush(surface_.get());
  return cairo_surface_write_to_png(surface_.get(), file.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace vtgen
