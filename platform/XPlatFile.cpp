#include "platform/XPlatFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdlib>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Creates a new file beside `target` for the replacement. open() applies the umask to a
// new file's mode itself: reading the umask by setting it would change it for every
// thread of the host in the meantime. The name is hidden and kept short enough for a
// file name of any accepted length.
int createTemporary(const std::string& target, mode_t mode, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.rfind('/');
  const std::string dir = target.substr(0, slash + 1);
  const std::string name = target.substr(slash + 1, 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.tmp", static_cast<long>(getpid()), counter++);
    temporary = dir + "." + name + suffix;
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

long XPlatFileOpenForRead(const char* name, const char* dir, XPlatFileHandle& handle) {
  handle = nullptr;
  if (name == nullptr || dir == nullptr) return 0;
  std::string path = std::string(dir) + name;
  // Without O_NONBLOCK, opening a named pipe waits for a writer: the host would hang.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return 0;
  // A folder opens fine for reading on Linux and then fails every read; refuse it here.
  struct stat info {};
  std::FILE* file = nullptr;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
      (file = fdopen(fd, "rb")) == nullptr) {
    ::close(fd);
    return 0;
  }
  if (std::fseek(file, 0, SEEK_END) != 0) {
    std::fclose(file);
    return 0;
  }
  long length = std::ftell(file);
  if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return 0;
  }
  handle = file;
  return length;
}

bool XPlatFileReplace(const char* name, const char* dir, const void* data, std::size_t size) {
  if (name == nullptr || dir == nullptr || (data == nullptr && size > 0)) return false;
  std::string target = std::string(dir) + name;
  mode_t mode = 0666;
  bool existed = false;
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return false;
    existed = true;
    mode = info.st_mode & 07777;
    char resolved[PATH_MAX];
    if (realpath(target.c_str(), resolved) == nullptr) return false;
    target = resolved;
  }
  std::string temporary;
  const int fd = createTemporary(target, existed ? 0600 : mode, temporary);
  if (fd < 0) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  // An existing file keeps its exact permissions, whatever the umask.
  bool ok = !existed || fchmod(fd, mode) == 0;
  for (std::size_t done = 0; ok && done < size;) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  return ok;
}

std::size_t XPlatFileRead(XPlatFileHandle handle, void* buffer, std::size_t count) {
  if (handle == nullptr || buffer == nullptr) return 0;
  return std::fread(buffer, 1, count, handle);
}

bool XPlatFileClose(XPlatFileHandle handle) {
  if (handle == nullptr) return false;
  return std::fclose(handle) == 0;
}

bool XPlatGetFileNameAndDir(const char* path, char* name, std::size_t nameSize, char* dir,
                            std::size_t dirSize) {
  if (path == nullptr || name == nullptr || dir == nullptr) return false;
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return false;
  std::size_t dirLength = static_cast<std::size_t>(slash - path) + 1;
  std::size_t nameLength = std::strlen(slash + 1);
  if (dirLength >= dirSize || nameLength >= nameSize) return false;
  std::memcpy(dir, path, dirLength);
  dir[dirLength] = '\0';
  std::memcpy(name, slash + 1, nameLength + 1);
  return true;
}
