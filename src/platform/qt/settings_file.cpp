// The settings store on Linux: one text file, $XDG_CONFIG_HOME/pinaleaf/settings.ini
// (~/.config/pinaleaf/settings.ini by default), in the form of store_file.h.
// Settings are read far more often than the file changes, so its bytes stay
// in memory and are read again only when a stat shows another file or
// another version of it. A write replaces the file whole.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/store_file.h"

namespace platform {
namespace {

// A bigger file is not one we wrote: it is neither read nor replaced.
constexpr off_t kLargestFile = off_t{64} << 20;

// What tells one version of the file from another. Each write makes a new
// file (a new inode), so even a change within the clock's tick shows.
struct Stamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  time_t seconds = 0;
  long nanoseconds = 0;
  bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const struct stat& info) {
  return {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

struct Cache {
  bool loaded = false;
  std::string path;            // empty: no home folder, so nothing outlives the run
  std::optional<Stamp> stamp;  // of the file `bytes` came from; none: there was none
  bool readable = true;        // false: a file we could not read, which a write must not replace
  std::string bytes;
};
Cache g_cache;

// Found again on every call (a getenv or two), so a change of the
// environment takes effect at once.
std::string SettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string folder;
  if (config && config[0] == '/')
    folder = config;
  else if (home && home[0] != '\0')
    folder = std::string(home) + "/.config";
  return folder.empty() ? folder : folder + "/pinaleaf/settings.ini";
}

// The whole of a regular file, or none.
std::optional<std::string> ReadWhole(const std::string& path, std::optional<Stamp>& stamp) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return std::nullopt;
  struct stat info {};
  std::optional<std::string> bytes;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kLargestFile) {
    stamp = StampOf(info);
    bytes.emplace(static_cast<size_t>(info.st_size), '\0');
    size_t done = 0;
    while (bytes && done < bytes->size()) {
      const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
      if (got > 0)
        done += static_cast<size_t>(got);
      else if (got == 0)
        bytes->resize(done);  // shorter than it was a moment ago
      else if (errno != EINTR)
        bytes.reset();
    }
  }
  close(fd);
  return bytes;
}

// The file's bytes as they stand now.
Cache& Current() {
  std::string path = SettingsPath();
  struct stat info {};
  std::optional<Stamp> stamp;
  if (!path.empty() && stat(path.c_str(), &info) == 0)
    stamp = StampOf(info);
  if (g_cache.loaded && path == g_cache.path && stamp == g_cache.stamp)
    return g_cache;
  g_cache = {true, path, stamp, true, {}};
  if (stamp) {
    std::optional<std::string> bytes = ReadWhole(path, g_cache.stamp);
    g_cache.readable = bytes.has_value();
    g_cache.bytes = bytes.value_or("");
  }
  return g_cache;
}

bool WriteAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno != EINTR)
      return false;
    done += put > 0 ? static_cast<size_t>(put) : 0;
  }
  return true;
}

// Replaces the file through a new one beside it, renamed over it once it is
// on the disk: a crash or a full disk leaves the old file, never half of one.
// The file a symbolic link names is the one replaced (a dotfiles folder).
bool WriteWhole(Cache& cache, const std::string& bytes) {
  if (cache.path.empty() || !cache.readable || bytes.size() > static_cast<size_t>(kLargestFile))
    return false;
  std::error_code error;
  std::filesystem::path target = std::filesystem::canonical(cache.path, error);
  if (error)
    target = cache.path;
  // Made private to the user, as XDG asks of the folders it names.
  std::filesystem::path made;
  for (const auto& part : target.parent_path()) {
    made /= part;
    mkdir(made.c_str(), 0700);
  }
  struct stat old {};
  const mode_t mode = stat(target.c_str(), &old) == 0 ? old.st_mode & 07777 : 0600;
  std::string temporary = target.string() + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat written {};
  bool done = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0 && fstat(fd, &written) == 0;
  done = close(fd) == 0 && done;
  done = done && rename(temporary.c_str(), target.c_str()) == 0;
  if (!done) {
    unlink(temporary.c_str());
    return false;
  }
  cache.stamp = StampOf(written);
  return true;
}

}  // namespace

Text ReadStoredValue(const Text& app, const Text& section, const Text& key) {
  return store::Find(Current().bytes, app, section, key).value_or(Text());
}

void WriteStoredValue(const Text& app, const Text& section, const Text& key, const Text& value) {
  Cache& cache = Current();
  if (store::Find(cache.bytes, app, section, key) == value)
    return;  // the active note's number comes on every mouse move
  std::string bytes = store::Put(cache.bytes, app, section, key, value);
  if (bytes == cache.bytes)
    return;  // a key the file cannot hold
  // Kept in memory even when the disk refuses it (a read-only folder, a
  // full disk), so the program reads back what it wrote for the rest of the
  // run; the next write that succeeds takes it to the file too, and a change
  // of the file by someone else replaces it.
  WriteWhole(cache, bytes);
  cache.bytes = std::move(bytes);
}

}  // namespace platform
