#pragma once

// A fresh folder under the system's temporary folder, removed with everything in it.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "veltrane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as the file functions want it: ending in "/".
  std::string dir() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

// A line of shell for a stand-in program that waits until the test creates `path`. It gives
// up after `seconds`, so a test that crashes first leaves nothing running after the suite.
inline std::string shellWaitForFile(const std::string& path, int seconds = 10) {
  return "i=0; while [ ! -e '" + path + "' ] && [ $i -lt " + std::to_string(seconds * 50) +
         " ]; do sleep 0.02; i=$((i + 1)); done\n";
}

// Sets an environment variable (or removes it, for null) for the scope, restoring the previous
// state.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_.c_str(), old_->c_str(), 1) : unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};
