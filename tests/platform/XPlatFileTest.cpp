#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/XPlatFile.h"
#include "tests/support/TempDir.h"

TEST(XPlatFile, WriteThenReadBackWhole) {
  TempDir temp;
  const std::string content = "MRXQ\x22 some bytes";
  XPlatFileHandle handle = nullptr;
  EXPECT_EQ(0, XPlatFileOpen("a.zal", temp.dir().c_str(), handle, true));
  ASSERT_NE(nullptr, handle);
  EXPECT_EQ(content.size(), XPlatFileWrite(handle, content.data(), content.size()));
  EXPECT_TRUE(XPlatFileClose(handle));

  long length = XPlatFileOpenForRead("a.zal", temp.dir().c_str(), handle);
  XPlatFileGuard guard(handle);
  ASSERT_EQ(static_cast<long>(content.size()), length);
  std::string back(content.size() + 4, '\0');
  EXPECT_EQ(content.size(), XPlatFileRead(handle, back.data(), back.size()));
  back.resize(content.size());
  EXPECT_EQ(content, back);
}

TEST(XPlatFile, UnopenableGivesNullHandleAndEveryCallDoesNothing) {
  TempDir temp;
  std::filesystem::create_directory(temp.path() / "folder.zal");
  for (const char* name : {"missing.zal", "folder.zal"}) {
    XPlatFileHandle handle = reinterpret_cast<XPlatFileHandle>(1);
    EXPECT_EQ(0, XPlatFileOpenForRead(name, temp.dir().c_str(), handle)) << name;
    EXPECT_EQ(nullptr, handle) << name;
    char buffer[4];
    EXPECT_EQ(0u, XPlatFileRead(handle, buffer, 4));
    EXPECT_EQ(0u, XPlatFileWrite(handle, buffer, 4));
    EXPECT_FALSE(XPlatFileClose(handle));
  }
}

TEST(XPlatFile, LoadingOpensReadOnly) {
  TempDir temp;
  std::ofstream(temp.path() / "factory.zab") << "bank";
  chmod((temp.path() / "factory.zab").c_str(), 0444);
  XPlatFileHandle handle = nullptr;
  EXPECT_EQ(4, XPlatFileOpenForRead("factory.zab", temp.dir().c_str(), handle));
  XPlatFileGuard guard(handle);
  ASSERT_NE(nullptr, handle);
  // Checked on the descriptor itself, so it holds for root too (who ignores 0444).
  EXPECT_EQ(O_RDONLY, fcntl(fileno(handle), F_GETFL) & O_ACCMODE);
}

TEST(XPlatFile, SplitsPathAtLastSlash) {
  struct Case {
    const char* path;
    const char* name;
    const char* dir;
  } cases[] = {
      {"/home/me/presets/kick.zal", "kick.zal", "/home/me/presets/"},
      {"/kick.zal", "kick.zal", "/"},
      {"/home/me/", "", "/home/me/"},
      {"kick.zal", "old-name", "old-dir/"},  // no "/": both unchanged
  };
  for (const auto& c : cases) {
    char name[300] = "old-name";
    char dir[300] = "old-dir/";
    XPlatGetFileNameAndDir(c.path, name, dir);
    EXPECT_STREQ(c.name, name) << c.path;
    EXPECT_STREQ(c.dir, dir) << c.path;

    char boundedName[kXPlatNameBufferSize] = "old-name";
    char boundedDir[kXPlatNameBufferSize] = "old-dir/";
    EXPECT_EQ(std::strchr(c.path, '/') != nullptr,
              XPlatGetFileNameAndDir(c.path, boundedName, sizeof boundedName, boundedDir, sizeof boundedDir));
    EXPECT_STREQ(c.name, boundedName) << c.path;
    EXPECT_STREQ(c.dir, boundedDir) << c.path;
  }
}

TEST(XPlatFile, BoundedSplitRefusesWhatDoesNotFit) {
  // 256 characters fit a 257-byte buffer; 257 do not, and nothing is cut or changed.
  struct Case {
    std::size_t dirLength;  // including the final "/"
    std::size_t nameLength;
    bool fits;
  } cases[] = {{256, 10, true}, {257, 10, false}, {10, 256, true}, {10, 257, false}, {600, 600, false}};
  for (const auto& c : cases) {
    std::string path(c.dirLength + c.nameLength, 'n');
    path.replace(0, c.dirLength, std::string(c.dirLength, 'd'));
    path.front() = '/';
    path[c.dirLength - 1] = '/';
    char name[kXPlatNameBufferSize] = "keep";
    char dir[kXPlatNameBufferSize] = "keep/";
    EXPECT_EQ(c.fits, XPlatGetFileNameAndDir(path.c_str(), name, sizeof name, dir, sizeof dir))
        << c.dirLength << " " << c.nameLength;
    if (c.fits) {
      EXPECT_EQ(c.nameLength, std::strlen(name));
      EXPECT_EQ(c.dirLength, std::strlen(dir));
    } else {
      EXPECT_STREQ("keep", name);
      EXPECT_STREQ("keep/", dir);
    }
  }
}
