// Renders every picture the editor and the preset panel load, keeps them by file name, and writes
// them out.
#pragma once

#include "tools/bitmap-generator/StripBuilder.h"

#include <filesystem>
#include <map>
#include <string>

namespace vtgen {

class BitmapSet {
 public:
  void render();

  // Writes every picture into the folder; false as soon as one cannot be written.
  bool write(const std::filesystem::path& folder) const;

  // A picture by file name ("bmp11500.png"), or null.
  const StripBuilder* find(const std::string& fileName) const;

  static std::string fileName(int bitmap);

 private:
  StripBuilder& add(const std::string& fileName, Box place, int images);
  void renderKnobs(cairo_surface_t* background);
  void renderSwitches(cairo_surface_t* background);
  void renderPresetKeys(cairo_surface_t* background);

  std::map<std::string, StripBuilder> strips_;
};

}  // namespace vtgen
