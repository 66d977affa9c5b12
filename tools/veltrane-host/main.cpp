// veltrane-host: a small command-line VST 2.4 host.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "EditorCommand.h"
#include "InfoCommand.h"
#include "PluginHost.h"
#include "RenderCommand.h"
#include "validate/ValidateCommand.h"

namespace {

void printUsage(std::ostream& out) {
  out << "usage:\n"
         "  veltrane-host info PLUGIN.so\n"
      << kRenderUsage << kEditorUsage << kValidateUsage << "  veltrane-host --help\n";
}

int usageError(const std::string& error = "") {
  if (!error.empty()) std::cerr << "veltrane-host: " << error << "\n";
  printUsage(std::cerr);
  return 2;
}

template <typename Options>
int runParsed(bool (*parse)(const std::vector<std::string>&, Options&, std::string&),
              int (*run)(const Options&, std::ostream&, std::ostream&),
              const std::vector<std::string>& words) {
  Options options;
  std::string error;
  if (!parse(words, options, error)) return usageError(error);
  return run(options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  for (const std::string& word : words) {
    if (word == "--help" || word == "-h") {
      printUsage(std::cout);
      return 0;
    }
  }
  if (words.size() < 2) return usageError();
  const std::string& command = words[0];
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (command == "info") {
    if (rest.size() != 1) return usageError("info needs exactly one PLUGIN.so");
    std::string error;
    auto host = PluginHost::load(rest[0], error);
    if (!host) {
      std::cerr << "veltrane-host: " << error << "\n";
      return 1;
    }
    printPluginInfo(*host, std::cout);
    return 0;
  }
  if (command == "render") return runParsed(parseRenderOptions, runRender, rest);
  if (command == "editor") return runParsed(parseEditorOptions, runEditor, rest);
  if (command == "validate") return runParsed(parseValidateOptions, runValidate, rest);
  return usageError("unknown command " + command);
}
