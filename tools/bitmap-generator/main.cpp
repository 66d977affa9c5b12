// bitmap-generator: draws the editor's pictures and writes them as PNG files, each at 1x and, as
// "<name>@2x.png", at twice the resolution.
//   bitmap-generator <output folder> [--preview <file.png>]
// The preview is the editor as first opened; beside it <file>-about.png shows the about picture,
// and <file>@2x.png and <file>-about@2x.png the same at 2x.
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
  for (int pixelRatio : {1, 2}) {
    vtgen::BitmapSet bitmaps(pixelRatio);
    bitmaps.render();
    if (!bitmaps.write(folder)) return 1;
    if (argc != 4) continue;
    const std::filesystem::path preview(argv[3]);
    std::filesystem::path shown = preview, about = preview;
    shown.replace_filename(
        vtgen::BitmapSet::fileName(preview.stem().string() + ".png", pixelRatio));
    about.replace_filename(
        vtgen::BitmapSet::fileName(preview.stem().string() + "-about.png", pixelRatio));
    const vtgen::PreviewComposer composer(bitmaps);
    if (!composer.write(shown) || !composer.writeAbout(about)) {
      std::fprintf(stderr, "cannot write %s\n", shown.c_str());
      return 1;
    }
  }
  return 0;
}
