// The committed pictures are what the generator draws today, at 1x and at 2x, byte for byte:
// the 1x ones have not moved by a pixel, and the 2x ones come from the same drawing code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(GeneratedPictures, TheGeneratorDrawsExactlyTheCommittedPictures) {
  TempDir out;
  const std::string command =
      std::string("'") + VT_BITMAP_GENERATOR + "' '" + out.path().string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  int committed = 0;
  for (const auto& entry : fs::directory_iterator(VT_RESOURCE_PNG_DIR)) {
    ++committed;
    const fs::path drawn = out.path() / entry.path().filename();
    SCOPED_TRACE(entry.path().filename().string());
    ASSERT_TRUE(fs::exists(drawn));
    EXPECT_TRUE(contents(drawn) == contents(entry.path()));
  }
  EXPECT_EQ(committed, std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()));
}

}  // namespace
