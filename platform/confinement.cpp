#include "platform/confinement.h"

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/landlock.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/atomic_file.h"

namespace platform {
namespace {

// Every file access Landlock knows of, by the version the kernel speaks;
// with no rule added, none is allowed anywhere.
bool RestrictFiles() {
  long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  if (abi < 1) return false;
  landlock_ruleset_attr attr{};
  attr.handled_access_fs = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;
  if (abi >= 2) attr.handled_access_fs |= LANDLOCK_ACCESS_FS_REFER;
  if (abi >= 3) attr.handled_access_fs |= 1ULL << 14;  // truncating
  if (abi >= 5) attr.handled_access_fs |= 1ULL << 15;  // device ioctls
  long ruleset = ::syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0);
  if (ruleset < 0) return false;
  bool restricted = ::syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
  ::close(static_cast<int>(ruleset));
  return restricted;
}

#if defined(__x86_64__)
#define OVLIX_SECCOMP_ARCH AUDIT_ARCH_X86_64
#elif defined(__aarch64__)
#define OVLIX_SECCOMP_ARCH AUDIT_ARCH_AARCH64
#endif

// The calls refused with EPERM: sockets and what sends through them, running
// programs, tracing, and io_uring, whose requests the filter would not see.
bool FilterCalls() {
#ifndef OVLIX_SECCOMP_ARCH
  return false;  // no filter for numbers this file does not know
#else
  const std::vector<unsigned> refused = {
      __NR_socket,         __NR_socketpair,       __NR_connect,
      __NR_bind,           __NR_listen,           __NR_accept,
      __NR_accept4,        __NR_sendto,           __NR_sendmsg,
      __NR_sendmmsg,       __NR_execve,           __NR_execveat,
      __NR_ptrace,         __NR_process_vm_readv, __NR_process_vm_writev,
      __NR_io_uring_setup, __NR_io_uring_enter,   __NR_io_uring_register,
  };
  std::vector<sock_filter> program;
  program.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)));
  program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, OVLIX_SECCOMP_ARCH, 1, 0));
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));  // another ABI's numbers
  program.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
#if defined(__x86_64__)
  // the x32 ABI reaches the same calls by other numbers
  program.push_back(BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 0x40000000, 0, 1));
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
#endif
  for (unsigned call : refused) {
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 1));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM));
  }
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
  return ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
#endif
}

}  // namespace

bool ConfineProcess() {
  // first: Landlock and seccomp need it of a process without privileges
  bool noNewPrivileges = ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
#if defined(__SANITIZE_ADDRESS__)
  // the leak checker reads /proc and stops the threads with ptrace at exit
  return false;
#endif
  bool files = noNewPrivileges && RestrictFiles();
  bool calls = noNewPrivileges && FilterCalls();
  return noNewPrivileges && files && calls;
}

namespace {

// The two ends the confined process keeps of the pipes to the process that
// puts its output in place.
int toBroker = -1;
int fromBroker = -1;

bool PutInPlace() {
  char ack = 0;
  return ::write(toBroker, "w", 1) == 1 && ::read(fromBroker, &ack, 1) == 1 && ack == '1';
}

// At exit: the broker is told, and has removed an output never put in
// place, before the process's status is seen.
void AwaitBroker() {
  ::close(toBroker);
  char ignored;
  for (;;) {
    ssize_t n = ::read(fromBroker, &ignored, 1);
    if (n > 0 || (n < 0 && errno == EINTR)) continue;
    break;
  }
}

[[noreturn]] void Broker(const std::string& twin, const std::filesystem::path& output, int requests, int answers) {
  bool placed = false;
  char request;
  for (;;) {
    ssize_t n = ::read(requests, &request, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    placed = ::rename(twin.c_str(), output.c_str()) == 0;
    if (::write(answers, placed ? "1" : "0", 1) != 1) break;
  }
  if (!placed) ::unlink(twin.c_str());
  ::_exit(0);
}

}  // namespace

void ConfineToOutput(const std::filesystem::path& output) {
  std::filesystem::path folder = output.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);  // as an unconfined write makes them
  std::string twin = (folder / ("." + output.filename().string() + ".XXXXXX")).string();
  int fd = ::mkostemp(twin.data(), O_CLOEXEC);
  int requests[2], answers[2];
  if (fd < 0 || ::pipe2(requests, O_CLOEXEC) != 0) {
    // the output cannot be written: the command says so when it tries
    if (fd >= 0) ::unlink(twin.c_str());
    ConfineProcess();
    return;
  }
  if (::pipe2(answers, O_CLOEXEC) != 0) {
    ::unlink(twin.c_str());
    ConfineProcess();
    return;
  }
  // The small broker is the child: this process, whose status the caller
  // waits for, goes on with the reading, and fork's copy-on-write costs it
  // only the few pages it had before.
  pid_t broker = ::fork();
  if (broker == 0) {
    ::close(fd);
    ::close(requests[1]);
    ::close(answers[0]);
    Broker(twin, output, requests[0], answers[1]);
  }
  ::close(requests[0]);
  ::close(answers[1]);
  if (broker < 0) {
    ::close(requests[1]);
    ::close(answers[0]);
    ::close(fd);
    ::unlink(twin.c_str());
    return;  // no process to put the output in place: unconfined
  }
  toBroker = requests[1];
  fromBroker = answers[0];
  std::atexit(AwaitBroker);
  RedirectWrites(output, fd, PutInPlace);
  ConfineProcess();
}

}  // namespace platform
