#pragma once

// Whole-file access by folder and name, and splitting a chosen path into the two. The
// preset panel keeps folder and names in buffers of kXPlatNameBufferSize bytes.

#include <cstddef>
#include <cstdio>

using XPlatFileHandle = std::FILE*;

// Size of the callers' folder and file-name buffers, terminating zero included.
inline constexpr std::size_t kXPlatNameBufferSize = 257;

// Opens dir + name read-only ("rb") and returns the length in bytes: loading never needs
// write access, and a read-only file (a shared factory bank, a write-protected folder) must
// still load. Failure (or something that is not a regular file): handle null, length 0.
long XPlatFileOpenForRead(const char* name, const char* dir, XPlatFileHandle& handle);
// Replaces dir + name with `size` bytes as one step: they are written to a temporary file
// beside it, flushed to disk and renamed over it, so a failed or interrupted save leaves the
// previous file whole. A symbolic link keeps pointing where it did (its target is replaced);
// an existing file keeps its permissions. False, and nothing changed, on any failure.
bool XPlatFileReplace(const char* name, const char* dir, const void* data, std::size_t size);
// Reads up to `count` bytes; returns the number read (0 for a null handle).
std::size_t XPlatFileRead(XPlatFileHandle handle, void* buffer, std::size_t count);
// Closes the file; false when the close (the final flush) failed or the handle is null.
bool XPlatFileClose(XPlatFileHandle handle);

// Splits `path` at its last "/": `name` gets what follows, `dir` the rest including the
// "/", each into a buffer of the given size. A part that does not fit is refused rather
// than cut: false, and both buffers are left as they are. Also false without a "/".
bool XPlatGetFileNameAndDir(const char* path, char* name, std::size_t nameSize, char* dir,
                            std::size_t dirSize);

// Closes a handle at scope end.
class XPlatFileGuard {
 public:
  explicit XPlatFileGuard(XPlatFileHandle handle = nullptr) : handle_(handle) {}
  ~XPlatFileGuard() { XPlatFileClose(handle_); }
  XPlatFileGuard(const XPlatFileGuard&) = delete;
  XPlatFileGuard& operator=(const XPlatFileGuard&) = delete;
  // Closes now and reports whether the close succeeded (what a save must know).
  bool close() {
    XPlatFileHandle handle = handle_;
    handle_ = nullptr;
    return XPlatFileClose(handle);
  }

 private:
  XPlatFileHandle handle_;
};
