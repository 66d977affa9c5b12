#pragma once

#include <cstdint>
#include <string>

// One entry of an option menu. The title "-" makes a separator.
class CMenuItem {
 public:
  enum Flags {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kChecked = 1 << 1,
    kSeparator = 1 << 2,
    kTitle = 1 << 3,
  };

  explicit CMenuItem(const char* title, int32_t flags = kNoFlags) : flags(flags) {
    setTitle(title);
  }

  void setTitle(const char* t) {
    title = t ? t : "";
    if (title == "-") flags |= kSeparator;
  }
  const char* getTitle() const { return title.c_str(); }
  void setEnabled(bool state) { flags = state ? flags & ~kDisabled : flags | kDisabled; }
  bool isEnabled() const { return !(flags & kDisabled); }
  void setChecked(bool state) { flags = state ? flags | kChecked : flags & ~kChecked; }
  bool isChecked() const { return flags & kChecked; }
  bool isSeparator() const { return flags & kSeparator; }
  void setIsSeparator(bool state) { flags = state ? flags | kSeparator : flags & ~kSeparator; }
  bool isTitle() const { return flags & kTitle; }
  // Whether the user can choose this entry.
  bool isSelectable() const { return isEnabled() && !isSeparator() && !isTitle(); }

 private:
  std::string title;
  int32_t flags;
};
