// veltrane-host: a small command-line VST 2.4 host.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "EditorCommand.h"
#include "InfoCommand.h"
#include "PluginHost.h"
#include "RenderCommand.h"

namespace {

int usage() {
  std::cerr << "usage:\n"
               "  veltrane-host info PLUGIN.so\n"
            << kRenderUsage << kEditorUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string command = argv[1];
  if (command == "info") {
    if (argc != 3) return usage();
    std::string error;
    auto host = PluginHost::load(argv[2], error);
    if (!host) {
      std::cerr << "veltrane-host: " << error << "\n";
      return 1;
    }
    printPluginInfo(*host, std::cout);
    return 0;
  }
  if (command == "render") {
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(std::vector<std::string>(argv + 2, argv + argc), options, error)) {
      std::cerr << "veltrane-host: " << error << "\n";
      return usage();
    }
    return runRender(options, std::cout, std::cerr);
  }
  if (command == "editor") {
    EditorOptions options;
    std::string error;
    if (!parseEditorOptions(std::vector<std::string>(argv + 2, argv + argc), options, error)) {
      std::cerr << "veltrane-host: " << error << "\n";
      return usage();
    }
    return runEditor(options, std::cout, std::cerr);
  }
  return usage();
}
