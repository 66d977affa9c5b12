// Build step: writes the bundle's Turtle files.
//   vt_lv2_turtle BUNDLE_DIR DSP_BINARY UI_BINARY
#include <fstream>
#include <iostream>
#include <string>

#include "lv2/TurtleWriter.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: " << argv[0] << " BUNDLE_DIR DSP_BINARY UI_BINARY\n";
    return 2;
  }
  const std::string bundle = std::string(argv[1]) + "/";
  const TurtleWriter writer(argv[2], argv[3]);
  struct File {
    const char* name;
    void (TurtleWriter::*write)(std::ostream&) const;
  };
  for (const File& file : {File{"manifest.ttl", &TurtleWriter::writeManifest},
                           File{TurtleWriter::kPluginFile, &TurtleWriter::writePlugin},
                           File{TurtleWriter::kPresetFile, &TurtleWriter::writePresets}}) {
    std::ofstream out(bundle + file.name);
    (writer.*file.write)(out);
    if (!out.flush()) {
      std::cerr << argv[0] << ": cannot write " << bundle << file.name << "\n";
      return 1;
    }
  }
  return 0;
}
