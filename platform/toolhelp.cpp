#include "platform/toolhelp.h"

#include "platform/mutex.h"

#include <dirent.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace platform {
namespace {

struct Listed {
  DWORD pid;
  std::string exe;
};

struct Snapshot {
  std::vector<Listed> entries;
  std::size_t next = 0;
};

struct Process {
  int pidfd;
};

using Object = std::variant<Snapshot, Process>;

std::map<HANDLE, Object>& Handles() {
  static std::map<HANDLE, Object> handles;
  return handles;
}

HANDLE NewHandle(Object object) {
  static HANDLE next = 0x100;
  next += 4;
  Handles().emplace(next, std::move(object));
  return next;
}

std::string ExecutableOf(const std::string& pid) {
  std::string link = "/proc/" + pid + "/exe";
  char buf[4096];
  ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
  if (n > 0) return std::string(buf, static_cast<std::size_t>(n));
  std::ifstream comm("/proc/" + pid + "/comm");
  std::string name;
  std::getline(comm, name);
  return "[" + name + "]";
}

std::vector<Listed> ListProcesses() {
  std::vector<Listed> out{{0, "[System Process]"}};
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return out;
  while (dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    unsigned long pid = std::strtoul(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || pid == 0) continue;
    out.push_back({static_cast<DWORD>(pid), ExecutableOf(entry->d_name)});
  }
  ::closedir(proc);
  std::sort(out.begin() + 1, out.end(), [](const Listed& a, const Listed& b) { return a.pid < b.pid; });
  return out;
}

// Copies at most 259 bytes, never splitting a UTF-8 sequence.
void CopyPath(const std::string& path, char (&out)[kMaxPath]) {
  std::size_t n = std::min<std::size_t>(path.size(), kMaxPath - 1);
  while (n > 0 && n < path.size() && (static_cast<unsigned char>(path[n]) & 0xC0) == 0x80) --n;
  std::memcpy(out, path.data(), n);
  out[n] = '\0';
}

BOOL Deliver(HANDLE snapshot, PROCESSENTRY32* entry, bool first) {
  auto it = Handles().find(snapshot);
  if (it == Handles().end() || entry == nullptr || entry->dwSize != sizeof(PROCESSENTRY32)) return FALSE_;
  auto* snap = std::get_if<Snapshot>(&it->second);
  if (snap == nullptr) return FALSE_;
  if (first) snap->next = 0;
  if (snap->next >= snap->entries.size()) return FALSE_;
  const Listed& listed = snap->entries[snap->next++];
  entry->th32ProcessID = listed.pid;
  CopyPath(listed.exe, entry->szExeFile);
  return TRUE_;
}

int PidfdOpen(DWORD pid) { return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0)); }

int PidfdSignal(int pidfd, int signal) {
  return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

}  // namespace

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD) {
  if ((flags & TH32CS_SNAPPROCESS) == 0) return 0;
  return NewHandle(Snapshot{ListProcesses(), 0});
}

BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry) { return Deliver(snapshot, entry, true); }
BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) { return Deliver(snapshot, entry, false); }

HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
  if (processId == 0) return 0;
  int pidfd = PidfdOpen(processId);
  if (pidfd < 0) return 0;
  // pidfds are close-on-exec; signal 0 makes the kernel's permission check and nothing else
  if (PidfdSignal(pidfd, 0) != 0) {
    ::close(pidfd);
    return 0;
  }
  return NewHandle(Process{pidfd});
}

BOOL TerminateProcess(HANDLE process, UINT) {
  auto it = Handles().find(process);
  if (it == Handles().end()) return FALSE_;
  auto* p = std::get_if<Process>(&it->second);
  return p != nullptr && PidfdSignal(p->pidfd, SIGKILL) == 0 ? TRUE_ : FALSE_;
}

BOOL CloseHandle(HANDLE handle) {
  auto it = Handles().find(handle);
  if (it == Handles().end()) return CloseMutexHandle(handle) ? TRUE_ : FALSE_;
  if (auto* p = std::get_if<Process>(&it->second)) ::close(p->pidfd);
  Handles().erase(it);
  return TRUE_;
}

std::size_t OpenHandleCount() { return Handles().size(); }

}  // namespace platform
