// A vertical strip of equal pictures, each painted in window coordinates over a copy of the
// background beneath the control (or over transparency for overlays), and written as one PNG.
#pragma once

#include "tools/bitmap-generator/CairoHandles.h"
#include "tools/bitmap-generator/PanelLayout.h"

#include <filesystem>

namespace vtgen {

class StripBuilder {
 public:
  // `place` is where one picture lies in the window; every picture of the strip has its size,
  // drawn with `pixelRatio` image pixels to each window pixel.
  StripBuilder(Box place, int images, int pixelRatio = 1);

  // A context for picture `index`: window coordinates map into that picture, drawing is clipped
  // to it, and the backdrop's pixels under `place` are already there (none if backdrop is null).
  // The backdrop has the strip's pixel ratio.
  Context picture(int index, cairo_surface_t* backdrop);

  cairo_surface_t* surface() const { return surface_.get(); }
  Box place() const { return place_; }
  int images() const { return images_; }

  // Writes the strip; false if the file could not be written.
  bool write(const std::filesystem::path& file) const;

 private:
  Box place_;
  int images_;
  Surface surface_;
};

}  // namespace vtgen
