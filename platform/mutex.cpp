#include "platform/mutex.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <map>
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

// Open mutex handles and the lock each holds (empty: none, the name was
// held elsewhere).
std::map<HANDLE, std::string>& Open() {
  static std::map<HANDLE, std::string> open;
  return open;
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
    lastError = (HeldHere().count(path) != 0 || errno == EWOULDBLOCK) ? ERROR_ALREADY_EXISTS : ERROR_ACCESS_DENIED;
    Open()[fd] = {};
    return fd;  // like the platform: a handle to the existing object
  }
  HeldHere().insert(path);
  Open()[fd] = path;
  lastError = ERROR_SUCCESS;
  return fd;
}

bool CloseMutexHandle(HANDLE handle) {
  auto it = Open().find(handle);
  if (it == Open().end()) return false;
  if (!it->second.empty()) HeldHere().erase(it->second);
  ::close(static_cast<int>(handle));  // drops the flock
  Open().erase(it);
  return true;
}

DWORD GetLastError() { return lastError; }

}  // namespace platform
