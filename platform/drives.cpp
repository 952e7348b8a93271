#include "platform/drives.h"

#include <sys/stat.h>

#include "platform/atomic_file.h"
#include "platform/cdrom.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace platform {

std::map<char, std::string> DriveMap() {
  std::map<char, std::string> map{{'C', "/"}};
  char letter = 'D';
  for (const auto& device : CdDevicesInUse().List())
    if (letter <= 'Z') map[letter++] = device;

  auto bytes = ReadWholeFile(ConfigRoot() / "drives.ini");
  if (!bytes) return map;
  ProfileDocument doc = ProfileDocument::Parse(*bytes);
  for (char c = 'A'; c <= 'Z'; ++c) {
    auto path = doc.Get("Drives", std::string(1, c) + ":");
    if (!path) continue;
    if (path->empty())
      map.erase(c);
    else
      map[c] = *path;
  }
  return map;
}

UINT GetDriveTypeA(std::string_view root) {
  if (root.size() < 2 || root[1] != ':') return DRIVE_NO_ROOT_DIR;
  char letter = root[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return DRIVE_NO_ROOT_DIR;
  if (root.size() > 2 && !(root.size() == 3 && (root[2] == '\\' || root[2] == '/'))) return DRIVE_NO_ROOT_DIR;

  auto map = DriveMap();
  auto it = map.find(letter);
  if (it == map.end()) return DRIVE_NO_ROOT_DIR;
  if (CdDevicesInUse().IsCd(it->second)) return DRIVE_CDROM;
  struct stat st {};
  if (::stat(it->second.c_str(), &st) != 0) return DRIVE_NO_ROOT_DIR;
  if (S_ISBLK(st.st_mode)) return DRIVE_REMOVABLE;
  if (S_ISDIR(st.st_mode)) return DRIVE_FIXED;
  return DRIVE_NO_ROOT_DIR;
}

std::vector<std::string> DriveNamesWhere(char first, char last, const std::function<bool(UINT type)>& test) {
  std::vector<std::string> names;
  for (char letter = first; letter <= last; ++letter) {
    std::string drive{letter, ':'};
    if (test(GetDriveTypeA(drive))) names.push_back(drive);
  }
  return names;
}

}  // namespace platform
