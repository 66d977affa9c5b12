// Owning handles for the cairo objects the generator creates, so no path forgets a destroy.
#pragma once

#include <cairo.h>

#include <memory>

namespace vtgen {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const noexcept { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t* context) const noexcept { cairo_destroy(context); }
};
struct PatternDeleter {
  void operator()(cairo_pattern_t* pattern) const noexcept { cairo_pattern_destroy(pattern); }
};

using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;
using Pattern = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

// A fully transparent ARGB32 image of `width` x `height` window pixels, with `pixelRatio`
// image pixels to each: painters draw in window coordinates at any ratio.
inline Surface makeImage(int width, int height, int pixelRatio = 1) {
  Surface surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * pixelRatio, height * pixelRatio));
  if (pixelRatio != 1) cairo_surface_set_device_scale(surface.get(), pixelRatio, pixelRatio);
  return surface;
}

// Image pixels per window pixel of a surface made by makeImage.
inline int pixelRatioOf(cairo_surface_t* surface) {
  double x = 1.0, y = 1.0;
  cairo_surface_get_device_scale(surface, &x, &y);
  return static_cast<int>(x);
}

// A context with the text settings every picture shares: grey antialiasing and hinted metrics
// keep 8-9 px legends sharp and their advances integral.
inline Context makeContext(cairo_surface_t* surface) {
  Context context(cairo_create(surface));
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(context.get(), options);
  cairo_font_options_destroy(options);
  return context;
}

// Saves the context state for a scope.
class SavedState {
 public:
  explicit SavedState(cairo_t* context) : context_(context) { cairo_save(context_); }
  ~SavedState() { cairo_restore(context_); }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;

 private:
  cairo_t* context_;
};

}  // namespace vtgen
