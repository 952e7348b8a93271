#include "platform/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <system_error>

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

  std::string temp = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && (!flush || ::fsync(fd) == 0);
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    errno = saved;
    return false;
  }
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

}  // namespace platform
