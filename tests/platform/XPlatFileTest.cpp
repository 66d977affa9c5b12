#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

#include "platform/XPlatFile.h"
#include "tests/platform/StandIn.h"
#include "tests/support/TempDir.h"

static std::atomic<int> umaskCalls{0};

// Every umask() call in this program lands here: the umask is process-wide, and a save that
// set it, even for a moment, would change the files every other thread of the host creates.
extern "C" mode_t umask(mode_t mask) {
  ++umaskCalls;
  return static_cast<mode_t>(syscall(SYS_umask, mask));
}

TEST(XPlatFile, LoadingOpensRegularFilesReadOnlyAndNothingElse) {
  TempDir temp;
  std::ofstream(temp.path() / "factory.zab") << "bank";
  chmod((temp.path() / "factory.zab").c_str(), 0444);
  std::filesystem::create_directory(temp.path() / "folder.zal");
  ASSERT_EQ(0, mkfifo((temp.path() / "pipe.zal").c_str(), 0600));
  alarm(10);  // a named pipe must be refused at once, not waited on
  for (const std::string name : {"missing.zal", "folder.zal", "pipe.zal", "factory.zab"}) {
    XPlatFileHandle handle = reinterpret_cast<XPlatFileHandle>(1);
    const bool real = name == "factory.zab";
    EXPECT_EQ(real ? 4 : 0, XPlatFileOpenForRead(name.c_str(), temp.dir().c_str(), handle)) << name;
    ASSERT_EQ(real, handle != nullptr) << name;
    char buffer[8] = {};
    EXPECT_EQ(real ? 4u : 0u, XPlatFileRead(handle, buffer, sizeof buffer)) << name;
    // Checked on the descriptor itself, so it holds for root too (who ignores 0444).
    EXPECT_TRUE(!real || (fcntl(fileno(handle), F_GETFL) & O_ACCMODE) == O_RDONLY);
    EXPECT_EQ(real, XPlatFileClose(handle)) << name;
  }
  alarm(0);
}

TEST(XPlatFile, SplitsAtTheLastSlashAndRefusesWhatDoesNotFit) {
  // 256 characters fit a 257-byte buffer; 257 do not, and nothing is cut or changed.
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"/home/me/", "", true},
      {"", "kick.zal", false},  // no "/"
      {"/" + std::string(254, 'd') + "/", "n", true},
      {"/" + std::string(255, 'd') + "/", "n", false},
      {"/d/", std::string(256, 'n'), true},
      {"/d/", std::string(257, 'n'), false},
  };
  for (const auto& [dir, name, fits] : cases) {
    char nameOut[kXPlatNameBufferSize] = "keep", dirOut[kXPlatNameBufferSize] = "keep/";
    EXPECT_EQ(fits, XPlatGetFileNameAndDir((dir + name).c_str(), nameOut, sizeof nameOut, dirOut,
                                           sizeof dirOut));
    EXPECT_EQ(std::string(dirOut) + "|" + nameOut, fits ? dir + "|" + name : "keep/|keep")
        << dir.size() << " " << name.size();
  }
}

TEST(XPlatFile, ReplaceSwapsTheWholeFileKeepingModeAndLinksOrChangesNothing) {
  TempDir temp;
  const std::filesystem::path target = temp.path() / "bank.zab";
  std::ofstream(target) << "old contents";
  chmod(target.c_str(), 0640);
  ASSERT_TRUE(XPlatFileReplace("bank.zab", temp.dir().c_str(), "new", 3));
  EXPECT_EQ(slurp(target), "new");
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
  // A link keeps pointing at the file it names; that file gets the new bytes.
  std::filesystem::create_directory(temp.path() / "real");
  std::ofstream(temp.path() / "real" / "p.zal") << "linked";
  std::filesystem::create_symlink(temp.path() / "real" / "p.zal", temp.path() / "p.zal");
  ASSERT_TRUE(XPlatFileReplace("p.zal", temp.dir().c_str(), "fresh", 5));
  EXPECT_TRUE(std::filesystem::is_symlink(temp.path() / "p.zal"));
  EXPECT_EQ(slurp(temp.path() / "real" / "p.zal"), "fresh");
  // Nothing can be written over a folder.
  EXPECT_FALSE(XPlatFileReplace("real", temp.dir().c_str(), "x", 1));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 3)
      << "no temporary left";
}

TEST(XPlatFile, ReplaceCreatesNewFilesByTheUmaskWithoutTouchingIt) {
  TempDir temp;
  const mode_t previous = umask(027);
  umaskCalls = 0;
  // The longest names a file system takes still save.
  for (const std::string& name : {std::string("new.zal"), std::string(255, 'n')}) {
    ASSERT_TRUE(XPlatFileReplace(name.c_str(), temp.dir().c_str(), "x", 1)) << name.size();
    EXPECT_EQ(std::filesystem::status(temp.path() / name).permissions(),
              std::filesystem::perms(0640));
  }
  EXPECT_EQ(0, umaskCalls.load());
  umask(previous);
}
