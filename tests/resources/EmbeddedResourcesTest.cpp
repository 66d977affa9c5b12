#include "ExpectedBitmaps.h"

#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(EmbeddedResources, EveryCommittedPictureIsEmbeddedByteForByte) {
  ASSERT_GE(embeddedResourceCount(), kExpectedBitmaps.size());
  for (std::size_t index = 0; index < embeddedResourceCount(); ++index) {
    const std::string name = embeddedResourceName(index);
    SCOPED_TRACE(name);
    const std::vector<unsigned char> onDisk =
        readFile(std::string(VT_RESOURCE_PNG_DIR) + "/" + name);
    const EmbeddedResource* resource = embeddedResourceAt(index);
    ASSERT_NE(resource, nullptr);
    ASSERT_EQ(resource->size, onDisk.size());
    EXPECT_EQ(std::memcmp(resource->data, onDisk.data(), onDisk.size()), 0);
    EXPECT_EQ(findEmbeddedResource(name.c_str()), resource);
  }
}

TEST(EmbeddedResources, FindsPicturesByNumberAndByFileName) {
  struct Case {
    int number;
    const char* fileName;
  };
  const Case cases[] = {{11500, "bmp11500.png"},
                        {989, "bmp00989.png"},
                        {19899, "bmp19899.png"},
                        {11580, "bmp11580.png"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    const EmbeddedResource* byNumber = findEmbeddedBitmap(c.number);
    ASSERT_NE(byNumber, nullptr);
    EXPECT_EQ(findEmbeddedResource(c.fileName), byNumber);
    const std::string stem = std::string(c.fileName).substr(0, 8);
    EXPECT_EQ(findEmbeddedResource(stem.c_str()), byNumber);

    const unsigned char* data = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(embeddedResourceProvider(c.fileName, &data, &size));
    EXPECT_EQ(data, byNumber->data);
    EXPECT_EQ(size, byNumber->size);
  }
}

TEST(EmbeddedResources, UnknownNamesFindNothing) {
  const char* const names[] = {
      "",      "bmp",         "bmp11500.pn", "bmp11500.png.png", "BMP11500.PNG", "bmp1150.png",
      "11500", "bmp11500.jpg"};
  for (const char* name : names) {
    EXPECT_EQ(findEmbeddedResource(name), nullptr) << name;
  }
  EXPECT_EQ(findEmbeddedResource(nullptr), nullptr);
  for (int number : {0, -1, 11501, 99999, 100000, -11500})
    EXPECT_EQ(findEmbeddedBitmap(number), nullptr) << number;

  const unsigned char* data = nullptr;
  std::size_t size = 7;
  EXPECT_FALSE(embeddedResourceProvider("missing.png", &data, &size));
  EXPECT_FALSE(embeddedResourceProvider("bmp11500.png", nullptr, &size));
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(embeddedResourceName(embeddedResourceCount()), nullptr);
  EXPECT_EQ(embeddedResourceAt(embeddedResourceCount()), nullptr);
}

}  // namespace
