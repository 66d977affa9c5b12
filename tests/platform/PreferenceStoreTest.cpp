#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/PreferenceFile.h"
#include "platform/PreferenceStore.h"
#include "tests/support/TempDir.h"

namespace {

const std::vector<unsigned char> kBank = {'M', 'R', 'X', 'Q', 0x38, 1, 2, 3};

class PreferenceStoreTest : public testing::Test {
 protected:
  TempDir config;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().c_str()};
};

}  // namespace

TEST_F(PreferenceStoreTest, ValuesPersistAcrossInstancesByKind) {
  {
    PreferenceStore store;
    EXPECT_EQ(config.path() / "com.zal.veltrane" / "preferences",
              std::filesystem::path(store.filePath()));
    EXPECT_FALSE(store.getText("CurrDir"));  // nothing stored yet
    EXPECT_TRUE(store.setText("CurrDir", "/home/me/presets/"));
    EXPECT_TRUE(store.setBytes("DefaultBank", kBank));
    EXPECT_TRUE(store.setBytes("MemoAPreset", kBank));
    EXPECT_TRUE(store.remove("MemoAPreset"));
    EXPECT_TRUE(store.remove("NeverStored"));
  }
  PreferenceStore store;
  EXPECT_EQ("/home/me/presets/", store.getText("CurrDir").value_or("?"));
  EXPECT_EQ(kBank, store.getBytes("DefaultBank").value_or(std::vector<unsigned char>{}));
  EXPECT_FALSE(store.getBytes("MemoAPreset"));
  // A key holding the other kind reads as absent.
  EXPECT_FALSE(store.getBytes("CurrDir"));
  EXPECT_FALSE(store.getText("DefaultBank"));
  // Keys that cannot be stored are refused, not cut.
  EXPECT_FALSE(store.setText("", "x"));
  EXPECT_FALSE(store.setText(std::string(256, 'k'), "x"));
}

TEST_F(PreferenceStoreTest, DamagedFileIsIgnoredWithAWarningAndReplacedOnWrite) {
  PreferenceStore store;
  ASSERT_TRUE(store.setText("CurrBank", "live.zab"));
  std::uintmax_t size = std::filesystem::file_size(store.filePath());
  struct Case {
    const char* what;
    std::function<void()> damage;
  } cases[] = {
      {"truncated", [&] { std::filesystem::resize_file(store.filePath(), size - 3); }},
      {"garbage",
       [&] { std::ofstream(store.filePath(), std::ios::trunc) << "not a preference file at all"; }},
      {"empty", [&] { std::ofstream(store.filePath(), std::ios::trunc); }},
      {"a folder",
       [&] {
         std::filesystem::remove(store.filePath());
         std::filesystem::create_directory(store.filePath());
       }},
      {"a named pipe",
       [&] {
         std::filesystem::remove(store.filePath());
         mkfifo(store.filePath().c_str(), 0600);
       }},
  };
  alarm(20);  // a read that waits on the pipe ends the test
  for (const auto& c : cases) {
    ASSERT_TRUE(store.setText("CurrBank", "live.zab"));
    c.damage();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(store.getText("CurrBank")) << c.what;
    EXPECT_NE(std::string::npos,
              testing::internal::GetCapturedStderr().find("Veltrane preferences:"))
        << c.what;
    if (!std::filesystem::is_regular_file(store.filePath())) {
      std::filesystem::remove(store.filePath());
      continue;
    }
    testing::internal::CaptureStderr();
    EXPECT_TRUE(store.setText("CurrPreset", "new.zal")) << c.what;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ("new.zal", store.getText("CurrPreset").value_or("?")) << c.what;
    EXPECT_TRUE(std::filesystem::exists(store.filePath() + ".damaged")) << c.what;
  }
  alarm(0);
}

TEST_F(PreferenceStoreTest, WriteThatWouldOutgrowTheFileLimitIsRefusedAndKeepsTheRest) {
  PreferenceStore store;
  ASSERT_TRUE(store.setText("CurrDir", "/kept/"));
  const std::vector<unsigned char> large(kPreferenceMaxValueLength, 0x55);
  std::size_t stored = 0;
  testing::internal::CaptureStderr();
  while (stored < kPreferenceMaxFileSize / kPreferenceMaxValueLength + 1 &&
         store.setBytes("Large" + std::to_string(stored), large))
    ++stored;
  testing::internal::GetCapturedStderr();
  EXPECT_LE(stored * kPreferenceMaxValueLength, kPreferenceMaxFileSize);
  EXPECT_EQ("/kept/", store.getText("CurrDir").value_or("?"));
}

TEST_F(PreferenceStoreTest, StaleTemporaryFromACrashDoesNotMatter) {
  PreferenceStore store;
  ASSERT_TRUE(store.setText("CurrDir", "/good/"));
  // A writer that died mid-write leaves its half-written temporary behind.
  std::ofstream(store.filePath() + ".tmp") << "VTPF half";
  EXPECT_EQ("/good/", store.getText("CurrDir").value_or("?"));
  EXPECT_TRUE(store.setText("CurrBank", "b.zab"));
  EXPECT_EQ("/good/", store.getText("CurrDir").value_or("?"));
  EXPECT_FALSE(std::filesystem::exists(store.filePath() + ".tmp"));
}

TEST_F(PreferenceStoreTest, InstancesWritingDifferentKeysKeepEachOthersEntries) {
  // Two stores opened before either writes: the second must not write back a stale view.
  PreferenceStore first;
  PreferenceStore second;
  EXPECT_TRUE(first.setText("CurrDir", "/one/"));
  EXPECT_TRUE(second.setBytes("DefaultPreset", kBank));
  EXPECT_EQ("/one/", second.getText("CurrDir").value_or("?"));

  // Processes writing at the same time.
  constexpr int kWriters = 4;
  constexpr int kWritesEach = 25;
  pid_t children[kWriters];
  for (int w = 0; w < kWriters; ++w) {
    children[w] = fork();
    ASSERT_GE(children[w], 0);
    if (children[w] == 0) {
      PreferenceStore store;
      bool ok = true;
      for (int i = 0; i < kWritesEach; ++i)
        ok = store.setText("writer" + std::to_string(w) + "_" + std::to_string(i),
                           std::to_string(i)) &&
             ok;
      _exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  PreferenceStore reader;
  for (int w = 0; w < kWriters; ++w)
    for (int i = 0; i < kWritesEach; ++i)
      EXPECT_EQ(
          std::to_string(i),
          reader.getText("writer" + std::to_string(w) + "_" + std::to_string(i)).value_or("?"));
  EXPECT_EQ("/one/", reader.getText("CurrDir").value_or("?"));
}

TEST(PreferenceStoreLocation, FollowsXdgConfigHomeElseHomeConfig) {
  TempDir home;
  ScopedEnv homeVariable("HOME", home.path().c_str());
  struct Case {
    const char* xdg;
    std::string expected;
  } cases[] = {
      {nullptr, home.path().string() + "/.config"},
      {"", home.path().string() + "/.config"},
      {"relative/config", home.path().string() + "/.config"},  // not absolute: ignored
      {"/somewhere/else", "/somewhere/else"},
  };
  for (const auto& c : cases) {
    ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    EXPECT_EQ(c.expected, PreferenceStore::configHome()) << (c.xdg ? c.xdg : "(unset)");
  }
  ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
  PreferenceStore store;
  EXPECT_TRUE(store.setText("CurrDir", "/x/"));  // creates ~/.config and the domain folder
  EXPECT_TRUE(
      std::filesystem::exists(home.path() / ".config" / "com.zal.veltrane" / "preferences"));
  EXPECT_FALSE(PreferenceStore("../escape").setText("CurrDir", "/x/"));
}
