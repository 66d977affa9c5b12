#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/PreferenceStore.h"
#include "tests/platform/StandIn.h"
#include "tests/support/TempDir.h"

namespace {

const std::vector<unsigned char> kBank = {'M', 'R', 'X', 'Q', 0x38, 1, 2, 3};

class PreferenceStoreTest : public testing::Test {
 protected:
  TempDir config;  // its folders below are made by the first write
  ScopedEnv xdg{"XDG_CONFIG_HOME", (config.dir() + "a/b").c_str()};
  PreferenceStore store;
  const std::string path = store.filePath();
  std::string text(const std::string& key) const { return store.getText(key).value_or("?"); }
};

}  // namespace

TEST_F(PreferenceStoreTest, ValuesPersistAcrossInstancesByKind) {
  EXPECT_EQ(config.dir() + "a/b/com.zal.veltrane/preferences", path);
  EXPECT_FALSE(store.getText("CurrDir"));  // nothing stored yet
  EXPECT_TRUE(store.setText("CurrDir", "/home/me/presets/"));
  EXPECT_TRUE(store.setBytes("DefaultBank", kBank));
  EXPECT_TRUE(store.setBytes("MemoAPreset", kBank));
  EXPECT_TRUE(store.remove("MemoAPreset"));
  EXPECT_TRUE(store.remove("NeverStored"));
  PreferenceStore other;
  EXPECT_EQ("/home/me/presets/", other.getText("CurrDir").value_or("?"));
  EXPECT_EQ(kBank, other.getBytes("DefaultBank").value_or(std::vector<unsigned char>{}));
  EXPECT_FALSE(other.getBytes("MemoAPreset"));
  EXPECT_FALSE(other.getBytes("CurrDir")) << "a key holding the other kind reads as absent";
  EXPECT_FALSE(other.getText("DefaultBank"));
  // Keys that cannot be stored are refused, not cut, and the refusal is told.
  const std::string refused =
      "Veltrane preferences: invalid key or value too large, nothing stored (" + path + ")\n";
  EXPECT_EQ(stderrOf([&] { EXPECT_FALSE(store.setText("", "x")); }), refused);
  EXPECT_EQ(stderrOf([&] { EXPECT_FALSE(store.setText(std::string(256, 'k'), "x")); }), refused);
}

TEST_F(PreferenceStoreTest, DamagedFileIsIgnoredWithAWarningAndSetAsideOnWrite) {
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"truncated",
       [&] { std::filesystem::resize_file(path, std::filesystem::file_size(path) - 3); }},
      {"a folder", [&] { std::filesystem::remove(path), std::filesystem::create_directory(path); }},
      {"a named pipe", [&] { std::filesystem::remove(path), mkfifo(path.c_str(), 0600); }},
  };
  alarm(20);  // a read that waits on the pipe ends the test
  for (const auto& [what, damage] : cases) {
    ASSERT_TRUE(store.setText("CurrBank", "live.zab"));
    damage();
    const std::string told = stderrOf([&] {
      EXPECT_FALSE(store.getText("CurrBank")) << what;
      if (!std::filesystem::is_regular_file(path)) std::filesystem::remove(path);
      EXPECT_TRUE(store.setText("CurrPreset", "new.zal")) << what;
    });
    EXPECT_NE(told.find("Veltrane preferences:"), std::string::npos) << what;
    EXPECT_EQ("new.zal", text("CurrPreset")) << what;
    EXPECT_EQ(told.find("moved aside") != std::string::npos,
              std::filesystem::exists(path + ".damaged"))
        << what;
    std::filesystem::remove(path + ".damaged");
  }
  alarm(0);
  std::filesystem::remove(path + ".lock"), std::filesystem::create_directory(path + ".lock");
  EXPECT_NE(
      stderrOf([&] { EXPECT_FALSE(store.setText("CurrBank", "x")); }).find("cannot open lock"),
      std::string::npos);
}

TEST_F(PreferenceStoreTest, WritesThatCannotBeReadBackAreRefusedAndKeepTheRest) {
  ASSERT_TRUE(store.setText("CurrDir", "/kept/"));
  // A writer that died mid-write leaves its half-written temporary behind: it does not matter.
  std::ofstream(path + ".tmp") << "VTPF half";
  std::size_t stored = 0;
  stderrOf([&] {
    while (stored <= kPreferenceMaxFileSize / kPreferenceMaxValueLength &&
           store.setBytes("Large" + std::to_string(stored),
                          std::vector<unsigned char>(kPreferenceMaxValueLength)))
      ++stored;
    EXPECT_FALSE(
        store.setBytes("TooLarge", std::vector<unsigned char>(kPreferenceMaxValueLength + 1)));
  });
  EXPECT_LE(stored * kPreferenceMaxValueLength, kPreferenceMaxFileSize);
  EXPECT_EQ("/kept/", text("CurrDir"));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(PreferenceStoreTest, InstancesWritingDifferentKeysKeepEachOthersEntries) {
  // A store opened before another writes must not write back a stale view, nor may
  // processes writing at the same time.
  PreferenceStore second;
  EXPECT_TRUE(store.setText("CurrDir", "/one/"));
  EXPECT_TRUE(second.setBytes("DefaultPreset", kBank));
  auto key = [](int writer, int i) {
    return "w" + std::to_string(writer) + "_" + std::to_string(i);
  };
  std::vector<pid_t> children;
  for (int w = 0; w < 4; ++w) {
    if ((children.emplace_back(fork())) != 0) continue;
    bool ok = true;
    for (int i = 0; i < 25; ++i) ok = PreferenceStore().setText(key(w, i), std::to_string(i)) && ok;
    _exit(ok ? 0 : 1);
  }
  for (pid_t child : children) {
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int w = 0; w < 4; ++w)
    for (int i = 0; i < 25; ++i) EXPECT_EQ(std::to_string(i), text(key(w, i)));
  EXPECT_EQ("/one/", text("CurrDir"));
  EXPECT_EQ(kBank, store.getBytes("DefaultPreset").value_or(std::vector<unsigned char>{}));
}

TEST(PreferenceStoreLocation, FollowsAnAbsoluteXdgConfigHomeElseHomeConfig) {
  ScopedEnv home("HOME", "/home/me"), unset("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(PreferenceStore::configHome(), "/home/me/.config");
  ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(PreferenceStore::configHome(), "/home/me/.config");
  ScopedEnv absolute("XDG_CONFIG_HOME", "/somewhere/else");
  EXPECT_EQ(PreferenceStore::configHome(), "/somewhere/else");
  stderrOf([] { EXPECT_FALSE(PreferenceStore("../escape").setText("CurrDir", "/x/")); });
}
