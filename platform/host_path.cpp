#include "platform/host_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/text_util.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::string MatchInFolder(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return name;
  std::string found = name;
  while (dirent* entry = ::readdir(dir)) {
    if (EqualsNoCase(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string ResolveHostPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty() || Exists(path)) return path;
  std::string out;
  std::size_t start = 0;
  if (path[0] == '/') {
    out = "/";
    start = 1;
  }
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(start, end - start);
    if (!name.empty() && name != "." && name != "..") {
      std::string candidate = out + name;
      if (!Exists(candidate)) name = MatchInFolder(out, name);
    }
    out += name;
    if (end < path.size()) out += '/';
    start = end + 1;
  }
  return out;
}

}  // namespace platform
