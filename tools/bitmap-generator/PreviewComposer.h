// Composes the whole editor as a user first sees it: the background with every control showing
// the picture for its factory value, plus sample texts in the read-outs. For judging the pictures
// together, at the pixel ratio of the set; the plug-in does not use it.
#pragma once

#include "tools/bitmap-generator/BitmapSet.h"

#include <filesystem>

namespace vtgen {

class PreviewComposer {
 public:
  explicit PreviewComposer(const BitmapSet& bitmaps) : bitmaps_(bitmaps) {}

  bool write(const std::filesystem::path& file) const;

  // The about picture as the editor shows it, with its version label in light and in dark ink.
  bool writeAbout(const std::filesystem::path& file) const;

 private:
  // Draws picture `image` of a strip at its place, `viewHeight` rows of it (0: the whole picture).
  void place(cairo_t* cr, const std::string& fileName, int image, int viewHeight = 0) const;

  const BitmapSet& bitmaps_;
};

}  // namespace vtgen
