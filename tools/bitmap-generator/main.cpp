// bitmap-generator: draws the editor's pictures and writes them as PNG files.
//   bitmap-generator <output folder> [--preview <file.png>]
// The preview is the editor as first opened; beside it <file>-about.png shows the about picture.
#include "tools/bitmap-generator/BitmapSet.h"
#include "tools/bitmap-generator/FontCheck.h"
#include "tools/bitmap-generator/PreviewComposer.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
    std::fprintf(stderr, "usage: %s <output folder> [--preview <file.png>]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), error.message().c_str());
    return 1;
  }
  const std::string family = vtgen::resolvedFontFamily("Liberation Sans");
  if (family != "Liberation Sans") {
    std::fprintf(
        stderr,
        "Liberation Sans is not installed (fontconfig offers \"%s\"); install fonts-liberation2\n",
        family.c_str());
    return 1;
  }
  vtgen::BitmapSet bitmaps;
  bitmaps.render();
  if (!bitmaps.write(folder)) return 1;
  if (argc == 4) {
    const std::filesystem::path preview(argv[3]);
    std::filesystem::path about = preview;
    about.replace_filename(preview.stem().string() + "-about" + preview.extension().string());
    const vtgen::PreviewComposer composer(bitmaps);
    if (!composer.write(preview) || !composer.writeAbout(about)) {
      std::fprintf(stderr, "cannot write %s\n", argv[3]);
      return 1;
    }
  }
  return 0;
}
