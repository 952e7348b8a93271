#include "platform/spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace platform {
namespace {

struct StartOptions {
  std::string folder;
  int output = -1;        // the child's stdout; -1 inherits ours
  bool quiet = false;     // stdout (unless `output`) and stderr to /dev/null
  bool ownGroup = false;  // a process group of its own, so its helpers go with it
};

pid_t Start(const std::vector<std::string>& argv, const StartOptions& options) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (options.output >= 0)
    posix_spawn_file_actions_adddup2(&actions, options.output, STDOUT_FILENO);
  else if (options.quiet)
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  if (options.quiet) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  if (!options.folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.folder.c_str());
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (options.ownGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the child until the deadline, then kills its process group: the
// child itself when it is still running, and whatever it left behind. The
// group's id cannot be taken by another process before the child is reaped.
int Finish(pid_t pid, Clock::time_point deadline) {
  int handle = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (handle >= 0) {
    pollfd ended{handle, POLLIN, 0};
    while (::poll(&ended, 1, MillisecondsLeft(deadline)) < 0 && errno == EINTR) {
    }
    ::close(handle);
  }
  ::kill(-pid, SIGKILL);
  int status = 0;
  pid_t reaped;
  while ((reaped = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  return reaped == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool SpawnDetached(const std::vector<std::string>& argv, const std::string& workingDirectory) {
  // A first child starts the program and ends at once, so the program is
  // handed to init and never lingers as our zombie.
  int ready[2];
  if (::pipe2(ready, O_CLOEXEC) != 0) return false;
  pid_t middle = ::fork();
  if (middle < 0) {
    ::close(ready[0]);
    ::close(ready[1]);
    return false;
  }
  if (middle == 0) {
    char ok = Start(argv, {.folder = workingDirectory}) > 0 ? 1 : 0;
    (void)!::write(ready[1], &ok, 1);
    ::_exit(0);
  }
  ::close(ready[1]);
  char ok = 0;
  if (::read(ready[0], &ok, 1) != 1) ok = 0;
  ::close(ready[0]);
  ::waitpid(middle, nullptr, 0);
  return ok == 1;
}

int RunAndWait(const std::vector<std::string>& argv) {
  pid_t pid = Start(argv, {});
  if (pid < 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunWithin(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  auto deadline = Clock::now() + limit;
  pid_t pid = Start(argv, {.folder = {}, .output = -1, .quiet = true, .ownGroup = true});
  return pid < 0 ? -1 : Finish(pid, deadline);
}

RunOutput ReadWithin(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  auto deadline = Clock::now() + limit;
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) return {};
  pid_t pid = Start(argv, {.folder = {}, .output = pipe[1], .quiet = true, .ownGroup = true});
  ::close(pipe[1]);
  if (pid < 0) {
    ::close(pipe[0]);
    return {};
  }
  RunOutput result;
  pollfd readable{pipe[0], POLLIN, 0};
  for (;;) {
    int n = ::poll(&readable, 1, MillisecondsLeft(deadline));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the time is up
    char buffer[4096];
    ssize_t got = ::read(pipe[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // the end of its output
    result.output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(pipe[0]);
  result.exitCode = Finish(pid, deadline);
  return result;
}

}  // namespace platform
