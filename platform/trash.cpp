#include "platform/trash.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "platform/paths.h"

namespace platform {
namespace {

// Deeper folders are left in place rather than risk running out of handles.
constexpr int kMaxDepth = 200;

std::optional<std::vector<std::filesystem::path>>& MountOverride() {
  static std::optional<std::vector<std::filesystem::path>> mounts;
  return mounts;
}

// /proc/self/mounts writes blanks, tabs, newlines and backslashes as \ooo.
std::string DecodeMountField(const std::string& field) {
  auto octal = [&](std::size_t i) { return field[i] >= '0' && field[i] <= '7'; };
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool IsRealFolder(const std::filesystem::path& path, struct stat* st) {
  return ::lstat(path.c_str(), st) == 0 && S_ISDIR(st->st_mode);
}

void RemoveTree(int parent, const char* name, dev_t device, int depth);

// Removes everything inside the open folder `dir` that lies on `device`.
void EmptyFolder(int dir, dev_t device, int depth) {
  int listing = ::dup(dir);
  if (listing < 0) return;
  DIR* stream = ::fdopendir(listing);
  if (stream == nullptr) {
    ::close(listing);
    return;
  }
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(stream)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(stream);
  for (const auto& name : names) RemoveTree(dir, name.c_str(), device, depth);
}

void RemoveTree(int parent, const char* name, dev_t device, int depth) {
  struct stat st {};
  if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (st.st_dev != device) return;  // another file system mounted inside
  if (!S_ISDIR(st.st_mode)) {
    ::unlinkat(parent, name, 0);  // a link is removed, never followed
    return;
  }
  if (depth >= kMaxDepth) return;
  int dir = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return;
  struct stat opened {};
  // the folder must still be the one looked at, not something swapped in
  if (::fstat(dir, &opened) != 0 || opened.st_ino != st.st_ino || opened.st_dev != st.st_dev) {
    ::close(dir);
    return;
  }
  // a read-only folder of ours would keep its entries
  if (opened.st_uid == ::geteuid() && (opened.st_mode & S_IRWXU) != S_IRWXU)
    ::fchmod(dir, (opened.st_mode & 07777) | S_IRWXU);
  EmptyFolder(dir, device, depth + 1);
  ::close(dir);
  ::unlinkat(parent, name, AT_REMOVEDIR);
}

void EmptyTrash(const std::filesystem::path& trash) {
  struct stat st {};
  if (!IsRealFolder(trash, &st)) return;
  int top = ::open(trash.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (top < 0) return;
  for (const char* part : {"files", "info"}) {
    struct stat sub {};
    if (::fstatat(top, part, &sub, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(sub.st_mode) || sub.st_dev != st.st_dev)
      continue;
    int dir = ::openat(top, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) continue;
    EmptyFolder(dir, st.st_dev, 0);
    ::close(dir);
  }
  struct stat cache {};
  if (::fstatat(top, "directorysizes", &cache, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(cache.st_mode))
    ::unlinkat(top, "directorysizes", 0);
  ::close(top);
}

}  // namespace

std::vector<std::filesystem::path> MountPoints() {
  if (MountOverride()) return *MountOverride();
  std::vector<std::filesystem::path> mounts;
  std::ifstream in("/proc/self/mounts");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, point;
    if (fields >> device >> point) mounts.emplace_back(DecodeMountField(point));
  }
  return mounts;
}

void SetMountPoints(const std::vector<std::filesystem::path>& mounts) {
  if (mounts.empty())
    MountOverride().reset();
  else
    MountOverride() = mounts;
}

std::vector<std::filesystem::path> UserTrashes() {
  std::vector<std::filesystem::path> trashes;
  if (!DataHome().empty()) trashes.push_back(DataHome() / "Trash");
  std::string uid = std::to_string(::getuid());
  for (const auto& top : MountPoints()) {
    struct stat st {};
    // the shared .Trash counts only as a real folder with the sticky bit
    if (IsRealFolder(top / ".Trash", &st) && (st.st_mode & S_ISVTX)) trashes.push_back(top / ".Trash" / uid);
    trashes.push_back(top / (".Trash-" + uid));
  }
  return trashes;
}

LONG SHEmptyRecycleBinA(const void*, const char* rootPath, DWORD) {
  if (rootPath != nullptr && rootPath[0] != '\0') return E_INVALIDARG;
  for (const auto& trash : UserTrashes()) {
    struct stat st {};
    // a volume trash must be the user's own folder
    if (IsRealFolder(trash, &st) && st.st_uid == ::getuid()) EmptyTrash(trash);
  }
  return S_OK;
}

}  // namespace platform
