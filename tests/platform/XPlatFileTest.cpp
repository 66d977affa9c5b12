#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/XPlatFile.h"
#include "tests/support/TempDir.h"

TEST(XPlatFile, UnopenableGivesNullHandleAndEveryCallDoesNothing) {
  TempDir temp;
  std::filesystem::create_directory(temp.path() / "folder.zal");
  ASSERT_EQ(0, mkfifo((temp.path() / "pipe.zal").c_str(), 0600));
  // A named pipe must be refused at once, not waited on: the alarm ends a hanging test.
  alarm(10);
  for (const char* name : {"missing.zal", "folder.zal", "pipe.zal"}) {
    XPlatFileHandle handle = reinterpret_cast<XPlatFileHandle>(1);
    EXPECT_EQ(0, XPlatFileOpenForRead(name, temp.dir().c_str(), handle)) << name;
    EXPECT_EQ(nullptr, handle) << name;
    EXPECT_EQ(0, XPlatFileOpen(name, temp.dir().c_str(), handle, false)) << name;
    EXPECT_EQ(nullptr, handle) << name;
    char buffer[4];
    EXPECT_EQ(0u, XPlatFileRead(handle, buffer, 4));
    EXPECT_EQ(0u, XPlatFileWrite(handle, buffer, 4));
    EXPECT_FALSE(XPlatFileClose(handle));
  }
  alarm(0);
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
              XPlatGetFileNameAndDir(c.path, boundedName, sizeof boundedName, boundedDir,
                                     sizeof boundedDir));
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
  } cases[] = {
      {256, 10, true}, {257, 10, false}, {10, 256, true}, {10, 257, false}, {600, 600, false}};
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

namespace {

std::atomic<int> umaskCalls{0};

}  // namespace

// Every umask() call in this program lands here: the umask is process-wide, and a save that
// set it, even for a moment, would change the files every other thread of the host creates.
extern "C" mode_t umask(mode_t mask) {
  ++umaskCalls;
  return static_cast<mode_t>(syscall(SYS_umask, mask));
}

namespace {

std::string readWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(XPlatFile, ReplaceSwapsTheWholeFileAndLeavesNothingBehind) {
  TempDir temp;
  const std::filesystem::path target = temp.path() / "bank.zab";
  std::ofstream(target) << "old contents";
  chmod(target.c_str(), 0640);
  // A temporary left over from an interrupted earlier save changes nothing.
  std::ofstream(temp.path() / "bank.zab.AAAAAA") << "stale";
  ASSERT_TRUE(XPlatFileReplace("bank.zab", temp.dir().c_str(), "new", 3));
  EXPECT_EQ(readWhole(target), "new");
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(temp.path()))
    files += !entry.is_directory();
  EXPECT_EQ(files, 2u);  // the file and the stale temporary, nothing new

  // A link keeps pointing at the file it names; that file gets the new bytes.
  std::filesystem::create_directory(temp.path() / "real");
  std::ofstream(temp.path() / "real" / "p.zal") << "linked";
  std::filesystem::create_symlink(temp.path() / "real" / "p.zal", temp.path() / "p.zal");
  ASSERT_TRUE(XPlatFileReplace("p.zal", temp.dir().c_str(), "fresh", 5));
  EXPECT_TRUE(std::filesystem::is_symlink(temp.path() / "p.zal"));
  EXPECT_EQ(readWhole(temp.path() / "real" / "p.zal"), "fresh");
}

TEST(XPlatFile, ReplaceThatCannotWriteKeepsTheOldFile) {
  TempDir temp;
  const std::filesystem::path folder = temp.path() / "locked";
  std::filesystem::create_directory(folder);
  std::ofstream(folder / "p.zal") << "precious";
  chmod(folder.c_str(), 0555);
  const std::string dir = folder.string() + "/";
  const bool replaced = XPlatFileReplace("p.zal", dir.c_str(), "x", 1);
  chmod(folder.c_str(), 0755);
  if (geteuid() != 0) {  // root writes anywhere
    EXPECT_FALSE(replaced);
  }
  if (!replaced) {
    EXPECT_EQ(readWhole(folder / "p.zal"), "precious");
  }
  EXPECT_FALSE(XPlatFileReplace("p.zal", (temp.dir() + "missing/").c_str(), "x", 1));
  std::filesystem::create_directory(temp.path() / "adir.zal");
  EXPECT_FALSE(XPlatFileReplace("adir.zal", temp.dir().c_str(), "x", 1));
}

TEST(XPlatFile, ReplaceCreatesNewFilesByTheUmaskWithoutTouchingIt) {
  TempDir temp;
  const mode_t previous = umask(027);
  umaskCalls = 0;
  // The longest names a file system takes still save.
  for (const std::string& name : {std::string("new.zal"), std::string(255, 'n')}) {
    ASSERT_TRUE(XPlatFileReplace(name.c_str(), temp.dir().c_str(), "x", 1)) << name.size();
    struct stat info {};
    ASSERT_EQ(0, stat((temp.path() / name).c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 0777) << name.size();
  }
  EXPECT_EQ(0, umaskCalls.load());
  umask(previous);
}
