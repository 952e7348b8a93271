#include "platform/shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/backend_slot.h"
#include "platform/host_path.h"
#include "platform/spawn.h"

namespace platform {
namespace {

class SpawningLauncher : public Launcher {
 public:
  bool Start(const std::vector<std::string>& argv, const std::string& folder) override {
    return SpawnDetached(argv, folder);
  }
};

constexpr auto& Slot = SlotWithDefault<Launcher, SpawningLauncher>;

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool IsAddress(const std::string& text) {
  for (const char* scheme : {"mailto:", "http://", "https://"})
    if (text.rfind(scheme, 0) == 0) return true;
  return false;
}

}  // namespace

std::unique_ptr<Launcher> SetLauncher(std::unique_ptr<Launcher> launcher) {
  return Slot().Replace(std::move(launcher));
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> out;
  std::string current;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) out.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) out.push_back(current);
  return out;
}

UINT WinExec(const std::string& commandLine, UINT) {
  std::vector<std::string> argv = SplitCommandLine(commandLine);
  if (argv.empty()) return ERROR_FILE_NOT_FOUND;
  argv[0] = ResolveHostPath(argv[0]);
  // a bare name would be looked up on PATH; the platform looks in the current folder
  if (argv[0].find('/') == std::string::npos) argv[0] = "./" + argv[0];
  if (!IsExecutableFile(argv[0])) return ERROR_FILE_NOT_FOUND;
  return Slot()->Start(argv, {}) ? 33 : ERROR_FILE_NOT_FOUND;
}

std::intptr_t ShellExecuteA(std::intptr_t, const char* verb, const char* file, const char* parameters,
                            const char* directory, int) {
  if (file == nullptr || (verb != nullptr && std::string(verb) != "open")) return ERROR_FILE_NOT_FOUND;
  std::string target = file;
  std::string folder = directory ? ResolveHostPath(directory) : std::string();
  if (IsAddress(target)) return Slot()->Start({"xdg-open", target}, folder) ? 42 : ERROR_FILE_NOT_FOUND;
  target = ResolveHostPath(target);
  if (IsExecutableFile(target)) {
    std::vector<std::string> argv{target};
    if (parameters != nullptr)
      for (auto& p : SplitCommandLine(parameters)) argv.push_back(p);
    return Slot()->Start(argv, folder) ? 42 : ERROR_FILE_NOT_FOUND;
  }
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) return ERROR_FILE_NOT_FOUND;
  return Slot()->Start({"xdg-open", target}, folder) ? 42 : ERROR_FILE_NOT_FOUND;
}

}  // namespace platform
