#include "platform/paths.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <system_error>

namespace platform {
namespace {

std::optional<std::filesystem::path>& RootOverride() {
  static std::optional<std::filesystem::path> root;
  return root;
}

std::optional<std::string>& ProgramFolderOverride() {
  static std::optional<std::string> folder;
  return folder;
}

std::optional<std::filesystem::path>& DataHomeOverride() {
  static std::optional<std::filesystem::path> folder;
  return folder;
}

std::filesystem::path EnvironmentRoot() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::filesystem::path(xdg) / "ovlix";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : "/") / ".config" / "ovlix";
}

}  // namespace

std::filesystem::path ConfigRoot() { return RootOverride() ? *RootOverride() : EnvironmentRoot(); }

std::filesystem::path WindowsDirectory() { return ConfigRoot() / "windows"; }
std::filesystem::path RegistryDirectory() { return ConfigRoot() / "registry"; }
std::filesystem::path RunDirectory() { return ConfigRoot() / "run"; }

void SetConfigRoot(const std::filesystem::path& root) {
  if (root.empty())
    RootOverride().reset();
  else
    RootOverride() = root;
}

std::filesystem::path DataHome() {
  if (DataHomeOverride()) return *DataHomeOverride();
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return {};
  return std::filesystem::path(home) / ".local" / "share";
}

void SetDataHome(const std::filesystem::path& folder) {
  if (folder.empty())
    DataHomeOverride().reset();
  else
    DataHomeOverride() = folder;
}

std::string ExecutablePath() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string ProgramFolder() {
  if (ProgramFolderOverride()) return *ProgramFolderOverride();
  std::string exe = ExecutablePath();
  if (exe.empty()) return "./";
  return std::filesystem::path(exe).parent_path().string() + "/";
}

void SetProgramFolder(const std::string& folder) {
  if (folder.empty())
    ProgramFolderOverride().reset();
  else
    ProgramFolderOverride() = folder.back() == '/' ? folder : folder + "/";
}

std::string ProgramDataFolder() {
  std::string folder = ProgramFolder();
  std::error_code ec;
  // an installed program folder belongs to the package system, whoever may
  // write it (root may): installing marks it
  bool installed = std::filesystem::exists(folder + kInstalledMark, ec);
  if (!installed && std::filesystem::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0)
    return folder;
  std::filesystem::path home = DataHome();
  // without a data folder the program folder is still where the file is
  // looked for, and where writing it fails with its error
  if (home.empty()) return folder;
  std::filesystem::path data = home / "ovlix";
  std::filesystem::create_directories(data, ec);
  return data.string() + "/";
}

std::string LaunchPath() {
  std::string exe = ExecutablePath();
  const char* path = std::getenv("PATH");
  if (exe.empty() || path == nullptr) return exe;
  std::string name = std::filesystem::path(exe).filename().string();
  std::error_code ec;
  for (std::string_view rest = path; !rest.empty();) {
    std::string_view dir = rest.substr(0, rest.find(':'));
    rest.remove_prefix(std::min(rest.size(), dir.size() + 1));
    if (dir.empty() || dir.front() != '/') continue;
    std::filesystem::path candidate = std::filesystem::path(dir) / name;
    if (candidate == exe) return exe;
    if (std::filesystem::is_symlink(candidate, ec) && std::filesystem::equivalent(candidate, exe, ec))
      return candidate.string();
  }
  return exe;
}

}  // namespace platform
