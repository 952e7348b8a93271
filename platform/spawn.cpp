#include "platform/spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

pid_t Start(const std::vector<std::string>& argv, const std::string& folder) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
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
    char ok = Start(argv, workingDirectory) > 0 ? 1 : 0;
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

}  // namespace platform
