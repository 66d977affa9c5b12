// The pictures as the plug-in carries them: the committed files embedded byte for byte and drawn
// by the generator exactly so (1x and @2x), found by name and number. (That embedding them keeps
// the plug-in's stack non-executable is checked on the plug-in itself.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "resources/EmbeddedResources.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Each is found by its file name, with or without ".png", through the toolkit's provider too,
// and by its number ("bmp00989.png" is 989) unless it is a picture's @2x twin.
TEST(EmbeddedResources, EveryCommittedPictureIsEmbeddedByteForByteAndFoundByNameAndNumber) {
  const auto committed = std::distance(fs::directory_iterator(VT_RESOURCE_PNG_DIR), {});
  ASSERT_EQ(embeddedResourceCount(), static_cast<std::size_t>(committed));
  for (std::size_t index = 0; index < embeddedResourceCount(); ++index) {
    const std::string name = embeddedResourceName(index);
    const EmbeddedResource* resource = embeddedResourceAt(index);
    ASSERT_NE(resource, nullptr) << name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource->data), resource->size),
              contents(fs::path(VT_RESOURCE_PNG_DIR) / name))
        << name;
    EXPECT_EQ(findEmbeddedResource(name.c_str()), resource) << name;
    EXPECT_EQ(findEmbeddedResource(name.substr(0, name.size() - 4).c_str()), resource) << name;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    EXPECT_TRUE(embeddedResourceProvider(name.c_str(), &data, &size) && data == resource->data &&
                size == resource->size)
        << name;
    const bool twin = name.find('@') != std::string::npos;
    EXPECT_EQ(twin ? resource : findEmbeddedBitmap(std::stoi(name.substr(3, 5))), resource) << name;
  }
  EXPECT_EQ(embeddedResourceName(embeddedResourceCount()), nullptr);
  EXPECT_EQ(embeddedResourceAt(embeddedResourceCount()), nullptr);
}

TEST(EmbeddedResources, NothingElseIsFoundAndAFailedLookUpWritesNothing) {
  for (const char* name : {"", "bmp", "bmp11500.pn", "bmp11500.png.png", "BMP11500.PNG",
                           "bmp1150.png", "11500", "bmp11500.jpg"})
    EXPECT_EQ(findEmbeddedResource(name), nullptr) << name;
  EXPECT_EQ(findEmbeddedResource(nullptr), nullptr);
  for (int number : {0, -1, 11501, 99999, 100000, -11500})
    EXPECT_EQ(findEmbeddedBitmap(number), nullptr) << number;
  const unsigned char* data = nullptr;
  std::size_t size = 7;
  EXPECT_FALSE(embeddedResourceProvider("missing.png", &data, &size));
  EXPECT_FALSE(embeddedResourceProvider("bmp11500.png", nullptr, &size));
  EXPECT_TRUE(data == nullptr && size == 7u);
}

TEST(EmbeddedResources, TheGeneratorDrawsExactlyTheCommittedPictures) {
  TempDir out;
  ASSERT_EQ(runCommand("'" VT_BITMAP_GENERATOR "' '" + out.path().string() + "'").status, 0);
  for (const auto& entry : fs::directory_iterator(VT_RESOURCE_PNG_DIR)) {
    const fs::path drawn = out.path() / entry.path().filename();
    EXPECT_TRUE(fs::exists(drawn) && contents(drawn) == contents(entry.path())) << drawn;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), {}),
            std::distance(fs::directory_iterator(VT_RESOURCE_PNG_DIR), {}));
}

}  // namespace
