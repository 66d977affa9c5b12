// Embedding the pictures must not cost the plug-in its non-executable stack, and their table must
// work once the code sits in a shared object loaded at any address.
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// The GNU_STACK program header line of an ELF file, as readelf prints it.
std::string stackHeader(const std::string& path) {
  const std::string command = "readelf -lW '" + path + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {};
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    const std::string text(line);
    if (text.find("GNU_STACK") != std::string::npos) return text;
  }
  return {};
}

TEST(SharedObject, StackStaysNonExecutable) {
  for (const std::string& path : {std::string(VT_RESOURCE_PROBE), std::string("/proc/self/exe")}) {
    SCOPED_TRACE(path);
    const std::string header = stackHeader(path);
    ASSERT_FALSE(header.empty()) << "readelf printed no GNU_STACK header";
    EXPECT_NE(header.find(" RW "), std::string::npos) << header;
    EXPECT_EQ(header.find("RWE"), std::string::npos) << header;
  }
}

TEST(SharedObject, LoadedModuleFindsItsPictures) {
  std::unique_ptr<void, int (*)(void*)> module(dlopen(VT_RESOURCE_PROBE, RTLD_NOW | RTLD_LOCAL),
                                               dlclose);
  ASSERT_NE(module, nullptr) << dlerror();
  using Probe = std::size_t (*)();
  const auto probe = reinterpret_cast<Probe>(dlsym(module.get(), "vtResourceProbeBackgroundSize"));
  ASSERT_NE(probe, nullptr);
  const EmbeddedResource* here = findEmbeddedBitmap(11500);
  ASSERT_NE(here, nullptr);
  EXPECT_EQ(probe(), here->size);
}

}  // namespace
