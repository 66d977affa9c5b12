#include "platform/PreferenceStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/UniqueFd.h"

namespace {

void warn(const std::string& what, const std::string& path) {
  std::fprintf(stderr, "Veltrane preferences: %s (%s)\n", what.c_str(), path.c_str());
}

// A domain names one folder: no separators, no "." or "..".
bool isValidDomain(const std::string& domain) {
  return !domain.empty() && domain.size() <= 255 && domain != "." && domain != ".." &&
         domain.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

bool makeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

enum class ReadResult { Ok, Missing, Damaged, Failed };

// Reads and parses the file; a missing file is an empty domain.
ReadResult readFile(const std::string& path, PreferenceMap& entries) {
  entries.clear();
  // O_NONBLOCK: a named pipe in its place must not hang the host; a file reads as ever.
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    if (errno == ENOENT) return ReadResult::Missing;
    warn(std::string("cannot read: ") + std::strerror(errno), path);
    return ReadResult::Failed;
  }
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    warn("not a regular file, ignored", path);
    return ReadResult::Failed;
  }
  if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > kPreferenceMaxFileSize) {
    warn("file too large, ignored", path);
    return ReadResult::Damaged;
  }
  std::vector<unsigned char> bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  std::string problem;
  auto parsed = parsePreferenceFile(bytes, &problem);
  if (!parsed) {
    warn("damaged file ignored: " + problem, path);
    return ReadResult::Damaged;
  }
  entries = std::move(*parsed);
  return ReadResult::Ok;
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

PreferenceStore::PreferenceStore(std::string domain) : domain_(std::move(domain)) {
  std::string home = configHome();
  if (!isValidDomain(domain_) || home.empty()) return;
  folder_ = home + "/" + domain_;
  path_ = folder_ + "/preferences";
}

std::string PreferenceStore::configHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config";
  if (const passwd* user = getpwuid(getuid());
      user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/')
    return std::string(user->pw_dir) + "/.config";
  return {};
}

std::optional<PreferenceEntry> PreferenceStore::get(std::string_view key,
                                                    PreferenceKind kind) const {
  if (path_.empty() || !isValidPreferenceKey(key)) return std::nullopt;
  PreferenceMap entries;
  if (readFile(path_, entries) != ReadResult::Ok) return std::nullopt;
  auto found = entries.find(key);
  if (found == entries.end() || found->second.kind != kind) return std::nullopt;
  return found->second;
}

std::optional<std::string> PreferenceStore::getText(std::string_view key) const {
  auto entry = get(key, PreferenceKind::Text);
  if (!entry) return std::nullopt;
  return std::string(entry->value.begin(), entry->value.end());
}

std::optional<std::vector<unsigned char>> PreferenceStore::getBytes(std::string_view key) const {
  auto entry = get(key, PreferenceKind::Bytes);
  if (!entry) return std::nullopt;
  return std::move(entry->value);
}

bool PreferenceStore::setText(std::string_view key, std::string_view value) {
  PreferenceEntry entry{PreferenceKind::Text,
                        std::vector<unsigned char>(value.begin(), value.end())};
  return modify(key, &entry);
}

bool PreferenceStore::setBytes(std::string_view key, std::span<const unsigned char> value) {
  PreferenceEntry entry{PreferenceKind::Bytes,
                        std::vector<unsigned char>(value.begin(), value.end())};
  return modify(key, &entry);
}

bool PreferenceStore::remove(std::string_view key) { return modify(key, nullptr); }

bool PreferenceStore::modify(std::string_view key, const PreferenceEntry* entry) {
  if (path_.empty()) {
    warn("no configuration folder, nothing stored", domain_);
    return false;
  }
  if (!isValidPreferenceKey(key) ||
      (entry != nullptr && entry->value.size() > kPreferenceMaxValueLength)) {
    warn("invalid key or value too large, nothing stored", path_);
    return false;
  }
  if (!makeFolders(folder_)) {
    warn(std::string("cannot create folder: ") + std::strerror(errno), folder_);
    return false;
  }
  // The lock lives on a file of its own: the data file is replaced by every write, and a
  // lock on it would be left behind on the old inode.
  std::string lockPath = path_ + ".lock";
  UniqueFd lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lock.valid()) {
    warn(std::string("cannot open lock: ") + std::strerror(errno), lockPath);
    return false;
  }
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      warn(std::string("cannot lock: ") + std::strerror(errno), lockPath);
      return false;
    }
  }

  PreferenceMap entries;
  ReadResult current = readFile(path_, entries);
  if (current == ReadResult::Failed) return false;
  if (current == ReadResult::Damaged) {
    // Kept for inspection; the domain starts again from this write.
    std::string aside = path_ + ".damaged";
    if (std::rename(path_.c_str(), aside.c_str()) == 0) warn("damaged file moved aside", aside);
  }
  if (entry != nullptr) {
    // Instances store their folder and names whenever they close; most often unchanged.
    if (auto found = entries.find(key); found != entries.end() && found->second == *entry)
      return true;
    entries.insert_or_assign(std::string(key), *entry);
  } else if (auto found = entries.find(key); found != entries.end()) {
    entries.erase(found);
  } else if (current != ReadResult::Damaged) {
    return true;  // nothing to remove
  }
  if (entries.size() > kPreferenceMaxEntries) {
    warn("too many entries, nothing stored", path_);
    return false;
  }

  // Only the lock holder touches the temporary file, so one fixed name suffices and a
  // stale one left by a crash is simply overwritten.
  std::string temporary = path_ + ".tmp";
  std::vector<unsigned char> bytes = encodePreferenceFile(entries);
  // A file the reader would refuse as too large would cost every entry on the next write.
  if (bytes.size() > kPreferenceMaxFileSize) {
    warn("domain would grow too large, nothing stored", path_);
    return false;
  }
  UniqueFd out(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  bool written = out.valid() && writeAll(out.get(), bytes) && fsync(out.get()) == 0;
  written = out.close() && written;
  if (!written || std::rename(temporary.c_str(), path_.c_str()) != 0) {
    warn(std::string("cannot write: ") + std::strerror(errno), path_);
    unlink(temporary.c_str());
    return false;
  }
  // The rename itself must survive a power cut too.
  UniqueFd folder(open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.valid()) fsync(folder.get());
  return true;
}
