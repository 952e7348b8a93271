#include "platform/toolhelp.h"

#include "platform/mutex.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
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

// How the kernel tells a process from one that got its id later: where
// pidfds live in a file system of their own (Linux 6.9 on), each process
// has an inode number no other process gets while the system runs; before
// that, its start time in clock ticks since boot, which only two processes
// given the same id within one tick (10 ms) could share.
struct Identity {
  unsigned long long inode = 0;
  unsigned long long started = 0;
  bool operator==(const Identity&) const = default;
};

// A listed process by its id and identity: no descriptor is held for it,
// so a list of any length fits under the usual soft limit of 1024 open
// files.
struct Process {
  pid_t pid;
  Identity identity;
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

std::filesystem::path& ProcRoot() {
  static std::filesystem::path root = "/proc";
  return root;
}

constexpr unsigned long kKernelThreadFlag = 0x00200000;  // PF_KTHREAD

// The name a process is listed by; empty when it has gone meanwhile.
// Without its executable (a kernel thread, another user's process, one that
// made itself undumpable) the kernel's flags tell a kernel thread, which has
// no command line and gets its command name in brackets as ps shows it; a
// process is named by its first argument's last component, which, unlike
// the command name, is not cut to 15 characters.
std::string ProcessName(const std::filesystem::path& dir) {
  char buf[4096];
  ssize_t n = ::readlink((dir / "exe").c_str(), buf, sizeof buf);
  if (n > 0) return std::string(buf, static_cast<std::size_t>(n));
  // "pid (comm) state ppid pgrp session tty_nr tpgid flags ...": the command
  // name may hold blanks and parentheses, so it ends at the last ")"
  std::ifstream statFile(dir / "stat");
  std::string stat;
  std::getline(statFile, stat);
  std::size_t open = stat.find('(');
  std::size_t close = stat.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return {};
  std::string comm = stat.substr(open + 1, close - open - 1);
  std::istringstream fields(stat.substr(close + 1));
  std::string state;
  long ppid = 0, pgrp = 0, session = 0, tty = 0, tpgid = 0;
  unsigned long flags = 0;
  fields >> state >> ppid >> pgrp >> session >> tty >> tpgid >> flags;
  if (flags & kKernelThreadFlag) return "[" + comm + "]";
  std::ifstream cmdline(dir / "cmdline");
  std::string first;
  std::getline(cmdline, first, '\0');
  // a path gives its last name; a process title ("sshd: alice@pts/0") is
  // no path and stays whole
  std::string name = first.find(' ') == std::string::npos ? first.substr(first.rfind('/') + 1) : first;
  return name.empty() ? comm : name;
}

std::vector<Listed> ListProcesses() {
  std::vector<Listed> out{{0, "[System Process]"}};
  DIR* proc = ::opendir(ProcRoot().c_str());
  if (proc == nullptr) return out;
  while (dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    unsigned long pid = std::strtoul(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || pid == 0) continue;
    std::string name = ProcessName(ProcRoot() / entry->d_name);
    if (!name.empty()) out.push_back({static_cast<DWORD>(pid), std::move(name)});
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

int PidfdOpen(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

int PidfdSignal(int pidfd, int signal) {
  return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

// The start time of the process that has the id now, from field 22 of its
// stat line; 0 when there is none. Read with plain system calls: a refresh
// may read it for every process.
unsigned long long StartTime(pid_t pid) {
  char name[32];
  std::snprintf(name, sizeof name, "/proc/%d/stat", static_cast<int>(pid));
  int fd = ::open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char buf[1024];
  ssize_t n = ::read(fd, buf, sizeof buf - 1);
  ::close(fd);
  if (n <= 0) return 0;
  buf[n] = '\0';
  // the command name may hold blanks and parentheses: it ends at the last ")"
  char* field = std::strrchr(buf, ')');
  if (field == nullptr) return 0;
  for (int i = 2; i < 22 && field != nullptr; ++i) field = std::strchr(field + 1, ' ');
  return field == nullptr ? 0 : std::strtoull(field + 1, nullptr, 10);
}

constexpr long kPidfsMagic = 0x50494446;  // "PIDF"

// The identity of the process `pidfd` holds. The start time is read once
// the pidfd holds the process: should the id have passed to another one
// before, the time read is that one's, never the listed one's.
std::optional<Identity> IdentityOf(int pidfd, pid_t pid) {
  static const bool ownInodes = [pidfd] {
    struct statfs fs {};
    return ::fstatfs(pidfd, &fs) == 0 && static_cast<long>(fs.f_type) == kPidfsMagic;
  }();
  struct stat st {};
  if (ownInodes) return ::fstat(pidfd, &st) == 0 ? std::optional(Identity{st.st_ino, 0}) : std::nullopt;
  unsigned long long started = StartTime(pid);
  return started != 0 ? std::optional(Identity{0, started}) : std::nullopt;
}

}  // namespace

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD) {
  if ((flags & TH32CS_SNAPPROCESS) == 0) return 0;
  return NewHandle(Snapshot{ListProcesses(), 0});
}

BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry) { return Deliver(snapshot, entry, true); }
BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) { return Deliver(snapshot, entry, false); }

HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
  auto pid = static_cast<pid_t>(processId);
  if (pid <= 0) return 0;
  int pidfd = PidfdOpen(pid);
  if (pidfd < 0) return 0;
  // signal 0 makes the kernel's permission check and nothing else
  std::optional<Identity> identity = PidfdSignal(pidfd, 0) == 0 ? IdentityOf(pidfd, pid) : std::nullopt;
  ::close(pidfd);
  return identity ? NewHandle(Process{pid, *identity}) : 0;
}

// The process is reached through a pidfd, which is signalled only when it
// holds the listed process.
BOOL TerminateProcess(HANDLE process, UINT) {
  auto it = Handles().find(process);
  if (it == Handles().end()) return FALSE_;
  auto* p = std::get_if<Process>(&it->second);
  if (p == nullptr) return FALSE_;
  int pidfd = PidfdOpen(p->pid);
  if (pidfd < 0) return FALSE_;
  bool killed = IdentityOf(pidfd, p->pid) == p->identity && PidfdSignal(pidfd, SIGKILL) == 0;
  ::close(pidfd);
  return killed ? TRUE_ : FALSE_;
}

BOOL CloseHandle(HANDLE handle) {
  auto it = Handles().find(handle);
  if (it == Handles().end()) return CloseMutexHandle(handle) ? TRUE_ : FALSE_;
  Handles().erase(it);
  return TRUE_;
}

std::size_t OpenHandleCount() { return Handles().size(); }

void SetProcRoot(const std::filesystem::path& root) { ProcRoot() = root.empty() ? "/proc" : root; }

}  // namespace platform
