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

#include <climits>
#include <csignal>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The end of the pipe through which the confined process tells the other
// what it did: "w" when it wrote its output, "e" and its exit status (one
// byte) as it begins to end.
int toPlacer = -1;

bool AskToPutInPlace() { return ::write(toPlacer, "w", 1) == 1; }

void TellStatus(int status, void*) {
  const char message[] = {'e', static_cast<char>(status)};
  if (::write(toPlacer, message, sizeof message) != sizeof message) {
    // the other side is gone, and this process with it
  }
}

// For the signal handler: the process that reads, and the twin to remove
// when this one is ended before it could put the output in place.
pid_t reader = -1;
char twinName[PATH_MAX];

void OnEnd(int signal) {
  ::kill(reader, SIGKILL);
  ::unlink(twinName);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// The unconfined side: once the reader has told its status, renames the
// twin into place if the reader wrote it, or removes it, and ends with the
// reader's status. It does not wait for the reader's process to be torn
// down: the reader has nothing left to do but end, and dies with this one.
// The caller waits for this process, so the output is in place (or surely
// not) when it sees the status.
[[noreturn]] void PutInPlaceAfterReader(const std::filesystem::path& output, int messages) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, OnEnd);
  bool written = false, ended = false;
  int code = 1;
  char message[64];
  char last = 0;
  for (;;) {
    ssize_t n = ::read(messages, message, sizeof message);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; last = message[i++]) {
      if (last == 'e') {
        ended = true;
        code = static_cast<unsigned char>(message[i]);
      } else if (message[i] == 'w') {
        written = true;
      }
    }
    if (ended) break;
  }
#if defined(__SANITIZE_ADDRESS__)
  ended = false;  // the leak checker runs after the status is told: its verdict counts
#endif
  if (!ended) {  // ended without exit(), or killed
    int status = 0;
    while (::waitpid(reader, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
      code = WEXITSTATUS(status);
    } else {  // what it wrote may be torn
      written = false;
      std::fprintf(stderr, "%s: reading the file ended by signal %d (%s)\n", program_invocation_short_name,
                   WTERMSIG(status), ::strsignal(WTERMSIG(status)));
    }
  }
  if (written && ::rename(twinName, output.c_str()) != 0) {
    std::fprintf(stderr, "%s: cannot write %s: %s\n", program_invocation_short_name, output.c_str(),
                 std::strerror(errno));
    written = false;
    code = 1;
  }
  if (!written) ::unlink(twinName);
  ::_exit(code);
}

}  // namespace

void ConfineToOutput(const std::filesystem::path& output) {
  std::filesystem::path folder = output.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);  // as an unconfined write makes them
  std::string twin = (folder / ("." + output.filename().string() + ".XXXXXX")).string();
  int fd = twin.size() < sizeof twinName ? ::mkostemp(twin.data(), O_CLOEXEC) : -1;
  int requests[2];
  if (fd < 0 || ::pipe2(requests, O_CLOEXEC) != 0) {
    // the output cannot be written: the command says so when it tries
    if (fd >= 0) ::unlink(twin.c_str());
    ConfineProcess();
    return;
  }
  std::memcpy(twinName, twin.c_str(), twin.size() + 1);
  // The reading goes on in the child, and this process, whose status the
  // caller waits for, puts the output in place once the child has ended:
  // one wake-up, and a child that ends in any way leaves no torn file.
  // Forked before anything of the input is read, the child shares few
  // pages to copy on write.
  const pid_t parent = ::getpid();
  reader = ::fork();
  if (reader < 0) {
    ::close(requests[0]);
    ::close(requests[1]);
    ::close(fd);
    ::unlink(twin.c_str());
    return;  // no process to put the output in place: unconfined
  }
  if (reader > 0) {
    ::close(fd);
    ::close(requests[1]);
    PutInPlaceAfterReader(output, requests[0]);
  }
  ::close(requests[0]);
  // the reader never outlives the process that cleans up after it
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(1);
  toPlacer = requests[1];
  ::on_exit(TellStatus, nullptr);  // registered last, it runs first
  RedirectWrites(output, fd, AskToPutInPlace);
  ConfineProcess();
}

}  // namespace platform
