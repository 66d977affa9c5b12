// Renders every picture the editor and the preset panel load, keeps them by file name, and writes
// them out. One set is drawn at one pixel ratio: 1 for the pictures the editor draws at scale 1,
// 2 for their "@2x" versions, drawn by the same code with twice the pixels.
#pragma once

#include "tools/bitmap-generator/StripBuilder.h"

#include <filesystem>
#include <map>
#include <string>

namespace vtgen {

class BitmapSet {
 public:
  explicit BitmapSet(int pixelRatio = 1) : pixelRatio_(pixelRatio) {}

  void render();
  int pixelRatio() const { return pixelRatio_; }

  // Writes every picture into the folder; false as soon as one cannot be written.
  bool write(const std::filesystem::path& folder) const;

  // A picture by its 1x file name ("bmp11500.png"), or null.
  const StripBuilder* find(const std::string& fileName) const;

  static std::string fileName(int bitmap);
  // The name a picture is written under at a pixel ratio: "bmp11500@2x.png".
  static std::string fileName(const std::string& name, int pixelRatio);

 private:
  StripBuilder& add(const std::string& fileName, Box place, int images);
  void renderKnobs(cairo_surface_t* background);
  void renderSwitches(cairo_surface_t* background);
  void renderPresetKeys(cairo_surface_t* background);

  int pixelRatio_;
  std::map<std::string, StripBuilder> strips_;
};

}  // namespace vtgen
