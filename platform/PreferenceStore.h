#pragma once

// The plug-in's preference domain: named texts and byte blocks kept in one file,
// $XDG_CONFIG_HOME/<domain>/preferences (~/.config when the variable is unset).
//
// Every write is on disk before it returns and replaces the file atomically (temporary
// file, fsync, rename), so a crash mid-write keeps the previous good file. Writers take
// an advisory lock and re-read the file before changing it, so instances that write
// different keys keep each other's entries. A damaged file is ignored with a warning
// (and set aside on the next write), never trusted.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PreferenceFile.h"

inline constexpr const char* kVeltranePreferenceDomain = "com.zal.veltrane";

class PreferenceStore {
 public:
  explicit PreferenceStore(std::string domain = kVeltranePreferenceDomain);

  // Absent when the key is missing or holds the other kind of value.
  std::optional<std::string> getText(std::string_view key) const;
  std::optional<std::vector<unsigned char>> getBytes(std::string_view key) const;

  // False (with a message on standard error) when the value could not be stored.
  bool setText(std::string_view key, std::string_view value);
  bool setBytes(std::string_view key, std::span<const unsigned char> value);
  bool remove(std::string_view key);

  const std::string& filePath() const { return path_; }

  // $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; empty if neither.
  static std::string configHome();

 private:
  std::optional<PreferenceEntry> get(std::string_view key, PreferenceKind kind) const;
  bool modify(std::string_view key, const PreferenceEntry* entry);

  std::string domain_;
  std::string folder_;
  std::string path_;
};
