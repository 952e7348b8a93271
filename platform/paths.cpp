#include "platform/paths.h"

#include <cstdlib>
#include <optional>
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

std::filesystem::path ConfigRoot() {
  return RootOverride() ? *RootOverride() : EnvironmentRoot();
}

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

}  // namespace platform
