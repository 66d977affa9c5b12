// Paints the about picture, shown over the whole editor. The editor prints the version itself
// into a 32 x 10 box whose left edge is 52 pixels right of the picture's middle and whose top is
// 71 pixels above it, in whatever colour its drawing context holds; the picture leaves a mid-toned
// badge there that both light and dark text read on.
#pragma once

#include "tools/bitmap-generator/CairoHandles.h"
#include "tools/bitmap-generator/PanelLayout.h"

namespace vtgen {

class AboutPainter {
 public:
  static constexpr int kWidth = kPanelWidth;
  static constexpr int kHeight = kPanelHeight;

  // The version box in picture coordinates.
  static Box versionBox();

  Surface paint(int pixelRatio = 1) const;

 private:
  void paintPlate(cairo_t* cr, cairo_surface_t* surface) const;
  void paintEmblem(cairo_t* cr) const;
  void paintTexts(cairo_t* cr) const;
};

}  // namespace vtgen
