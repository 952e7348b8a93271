#include "platform/mutex.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/paths.h"

namespace platform {
namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

std::set<std::string>& HeldHere() {
  static std::set<std::string> held;
  return held;
}

}  // namespace

HANDLE CreateMutexA(const void*, BOOL, std::string_view name) {
  std::error_code ec;
  std::filesystem::create_directories(RunDirectory(), ec);
  std::string path = (RunDirectory() / (std::string(name) + ".lock")).string();
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    lastError = ERROR_ACCESS_DENIED;
    return 0;
  }
  // flock is per open file, so a second open in this process would not see
  // our own lock: remember the names taken here.
  if (HeldHere().count(path) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    lastError = (HeldHere().count(path) != 0 || errno == EWOULDBLOCK) ? ERROR_ALREADY_EXISTS
                                                                        : ERROR_ACCESS_DENIED;
    return fd;  // like the platform: a handle to the existing object
  }
  HeldHere().insert(path);
  lastError = ERROR_SUCCESS;
  return fd;
}

DWORD GetLastError() { return lastError; }

}  // namespace platform
