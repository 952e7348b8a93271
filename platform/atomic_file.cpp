#include "platform/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdint>
#include <random>
#include <system_error>
#include <utility>

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Read, not set: setting it, even back at once, would let a file another
// thread makes meanwhile go without it. Kernels before 4.7 do not show it;
// there it is set and put back.
mode_t CurrentUmask() {
  if (std::optional<std::string> status = ReadWholeFile("/proc/self/status")) {
    std::size_t line = status->find("\nUmask:");
    if (line != std::string::npos) {
      const char* digits = status->c_str() + line + 7;
      while (*digits == ' ' || *digits == '\t') ++digits;
      unsigned mask = 0;
      auto [end, error] = std::from_chars(digits, status->c_str() + status->size(), mask, 8);
      if (error == std::errc() && end != digits) return static_cast<mode_t>(mask & 0777);
    }
  }
  mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, bool* missing) {
  if (missing != nullptr) *missing = false;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (missing != nullptr) *missing = errno == ENOENT;
    return std::nullopt;
  }
  std::string bytes;
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

namespace {

struct Redirect {
  std::filesystem::path path;
  int fd = -1;
  bool (*putInPlace)() = nullptr;
};

Redirect& Redirected() {
  static Redirect redirect;
  return redirect;
}

// Into the redirected file: its mode as Replace gives it, without reading
// /proc (nothing may be opened).
bool WriteRedirected(int fd, const std::filesystem::path& path, std::string_view bytes, unsigned newMode, bool flush) {
  mode_t mask = ::umask(0);
  ::umask(mask);
  mode_t mode = static_cast<mode_t>(newMode) & ~mask;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
  return ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 &&
         (!flush || ::fsync(fd) == 0) && Redirected().putInPlace();
}

// A name for a temporary file no one else is likely to pick: six letters
// or digits at `at`, from a generator seeded once per thread.
void RandomSuffix(std::string& name, std::size_t at) {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::uint64_t state = std::random_device{}() ^ (std::uint64_t{std::random_device{}()} << 32);
  state += 0x9e3779b97f4a7c15;  // splitmix64
  std::uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
  z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
  z ^= z >> 31;
  for (std::size_t i = at; i < at + 6; ++i, z /= sizeof kChars - 1) name[i] = kChars[z % (sizeof kChars - 1)];
}

// Writes the bytes to a new file beside `path` (relative to the folder
// `dirfd`) and renames it to `path`. The new file is created with
// `createMode` (less the umask) and then given `setMode`, when there is
// one. On failure nothing is left behind and errno tells why.
bool WriteAndRename(int dirfd, const std::string& path, std::string_view bytes, mode_t createMode,
                    std::optional<mode_t> setMode, bool flush) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  std::string temp;
  temp.reserve(path.size() + 8);
  temp.append(path, 0, nameAt).append(1, '.').append(path, nameAt).append(1, '.');
  const std::size_t suffixAt = temp.size();
  temp.append(6, 'X');
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    RandomSuffix(temp, suffixAt);
    fd = ::openat(dirfd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && (!setMode || ::fchmod(fd, *setMode) == 0) && (!flush || ::fsync(fd) == 0);
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::renameat(dirfd, temp.c_str(), dirfd, path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlinkat(dirfd, temp.c_str(), 0);
    errno = saved;
  }
  return ok;
}

// What became of a file written nameless.
enum class Nameless {
  kWritten,
  kFailed,       // errno tells why; nothing is left behind
  kTaken,        // another file has the name
  kUnsupported,  // the file system or kernel cannot; nothing is left behind
};

// Gives the written, nameless file `fd` the name `name` in the folder
// `dirfd`. Older kernels link a descriptor only for a privileged process;
// its name under /proc links it for anyone.
bool LinkNameless(int fd, int dirfd, const char* name) {
  if (::linkat(fd, "", dirfd, name, AT_EMPTY_PATH) == 0) return true;
  if (errno != ENOENT) return false;
  char proc[32];
  std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
  return ::linkat(AT_FDCWD, proc, dirfd, name, AT_SYMLINK_FOLLOW) == 0;
}

// Writes the bytes to a new file without a name in the folder `dirfd`, with
// `mode` less the umask, and links it as `name`: one change to the folder
// where a temporary name and its rename make three (twice the time on
// ext4), and no name shows the file before it is whole.
Nameless WriteNameless(int dirfd, const std::string& name, std::string_view bytes, mode_t mode) {
  int fd = ::openat(dirfd, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, mode);
  if (fd < 0)  // EISDIR: a kernel without O_TMPFILE
    return errno == EOPNOTSUPP || errno == EISDIR ? Nameless::kUnsupported : Nameless::kFailed;
  Nameless outcome = Nameless::kWritten;
  if (!WriteAll(fd, bytes))
    outcome = Nameless::kFailed;
  else if (!LinkNameless(fd, dirfd, name.c_str()))
    outcome = errno == EEXIST                     ? Nameless::kTaken
              : errno == ENOENT || errno == EPERM ? Nameless::kUnsupported  // no /proc, no links
                                                  : Nameless::kFailed;
  int saved = errno;
  if (::close(fd) != 0 && outcome == Nameless::kWritten) {
    saved = errno;
    ::unlinkat(dirfd, name.c_str(), 0);
    outcome = Nameless::kFailed;
  }
  errno = saved;
  return outcome;
}

bool Replace(const std::filesystem::path& path, std::string_view bytes, unsigned newMode, bool flush) {
  if (Redirected().fd >= 0 && path == Redirected().path)
    return WriteRedirected(Redirected().fd, path, bytes, newMode, flush);
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);

  mode_t mode = static_cast<mode_t>(newMode) & ~CurrentUmask();
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
  if (!WriteAndRename(AT_FDCWD, path.string(), bytes, 0600, mode, flush)) return false;
  if (flush) SyncFolder(folder);
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, unsigned newMode) {
  return Replace(path, bytes, newMode, true);
}

bool WriteFileWhole(const std::filesystem::path& path, std::string_view bytes, unsigned newMode) {
  return Replace(path, bytes, newMode, false);
}

void RedirectWrites(const std::filesystem::path& path, int fd, bool (*putInPlace)()) {
  Redirected() = {path, fd, putInPlace};
}

FileBatch::FileBatch(std::filesystem::path root, unsigned newMode) : root_(std::move(root)), mode_(newMode) {}

FileBatch::~FileBatch() { Leave(0); }

void FileBatch::Leave(std::size_t depth) {
  while (open_.size() > depth) {
    ::close(open_.back().fd);
    open_.pop_back();
  }
}

bool FileBatch::Enter(std::string_view folders) {
  if (open_.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(root_, ec);
    int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    open_.push_back({{}, fd, false});
  }
  // the folders the last file's path shares stay open
  std::size_t depth = 1;
  while (!folders.empty()) {
    const std::size_t slash = folders.find('/');
    const std::string_view name = folders.substr(0, slash);
    folders = slash == std::string_view::npos ? std::string_view() : folders.substr(slash + 1);
    if (depth < open_.size() && open_[depth].name == name) {
      ++depth;
      continue;
    }
    Leave(depth);
    Folder next{std::string(name), -1, false};
    next.created = ::mkdirat(open_.back().fd, next.name.c_str(), 0777) == 0;
    if (!next.created && errno != EEXIST) return false;
    next.fd = ::openat(open_.back().fd, next.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (next.fd < 0) return false;
    open_.push_back(std::move(next));
    ++depth;
  }
  Leave(depth);
  return true;
}

bool FileBatch::Write(std::string_view relative, std::string_view bytes) {
  const std::size_t slash = relative.rfind('/');
  if (!Enter(slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash))) return false;
  const Folder& folder = open_.back();
  name_.assign(relative.substr(slash == std::string_view::npos ? 0 : slash + 1));
  // a folder this batch created holds only its files: nothing to keep
  struct stat old {};
  bool replaces = !folder.created && ::fstatat(folder.fd, name_.c_str(), &old, 0) == 0;
  if (!replaces && nameless_) {
    switch (WriteNameless(folder.fd, name_, bytes, static_cast<mode_t>(mode_))) {
      case Nameless::kWritten: return true;
      case Nameless::kFailed: return false;
      case Nameless::kTaken: replaces = ::fstatat(folder.fd, name_.c_str(), &old, 0) == 0; break;
      case Nameless::kUnsupported: nameless_ = false; break;
    }
  }
  std::optional<mode_t> keep;
  if (replaces) keep = old.st_mode & 07777;
  return WriteAndRename(folder.fd, name_, bytes, static_cast<mode_t>(mode_), keep, false);
}

}  // namespace platform
