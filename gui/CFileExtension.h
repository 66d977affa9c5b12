#pragma once

#include <cstdint>
#include <string>

// A file type offered by a file dialog: a description and an extension without the dot.
class CFileExtension {
 public:
  CFileExtension(const char* description, const char* extension, const char* mimeType = nullptr,
                 int32_t macType = 0)
      : description(description ? description : ""),
        extension(extension ? extension : ""),
        mimeType(mimeType ? mimeType : ""),
        macType(macType) {}

  const char* getDescription() const { return description.c_str(); }
  const char* getExtension() const { return extension.c_str(); }
  const char* getMimeType() const { return mimeType.c_str(); }
  int32_t getMacType() const { return macType; }

 private:
  std::string description;
  std::string extension;
  std::string mimeType;
  int32_t macType;
};
