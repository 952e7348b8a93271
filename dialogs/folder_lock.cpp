#include "dialogs/folder_lock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

fs::path ListFile() { return platform::ConfigRoot() / "folderlock" / "locked"; }

bool Save(const std::vector<LockedFolder>& folders) {
  std::ostringstream out;
  for (const LockedFolder& f : folders) out << std::oct << f.mode << ' ' << f.path << '\n';
  return platform::WriteFileAtomically(ListFile(), out.str(), 0600);
}

// The absolute, normalised form; symbolic links are followed so that a link
// cannot smuggle in a refused folder.
std::string Canonical(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) return {};
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  return p.string();
}

bool Contains(const std::string& folder, const std::string& inner) {
  if (folder.empty() || inner.empty()) return false;
  fs::path a = fs::path(folder).lexically_normal(), b = fs::path(inner).lexically_normal();
  auto [end, _] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return end == a.end() || (std::next(end) == a.end() && end->empty());
}

bool Refused(const std::string& path) {
  if (path == "/") return true;
  if (const char* home = std::getenv("HOME"); home && Canonical(home) == path) return true;
  return Contains(path, Canonical(platform::ProgramFolder())) || Contains(path, Canonical(platform::ConfigRoot()));
}

}  // namespace

std::vector<LockedFolder> LockedFolders() {
  std::vector<LockedFolder> out;
  std::optional<std::string> bytes = platform::ReadWholeFile(ListFile());
  if (!bytes) return out;
  std::istringstream in(*bytes);
  std::string line;
  while (std::getline(in, line)) {
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos || blank + 1 >= line.size()) continue;
    char* end = nullptr;
    unsigned long mode = std::strtoul(line.c_str(), &end, 8);
    if (end != line.c_str() + blank || mode > 07777) continue;
    out.push_back({line.substr(blank + 1), static_cast<unsigned>(mode)});
  }
  return out;
}

std::string LockFolder(const std::string& given) {
  std::string path = Canonical(given);
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "Složka " + given + " neexistuje.";
  if (Refused(path)) return "Složku " + path + " nelze zamknout: potřebuje ji systém nebo tento program.";
  std::vector<LockedFolder> folders = LockedFolders();
  for (const LockedFolder& f : folders)
    if (f.path == path) return "Složka " + path + " už je zamčená.";
  if (st.st_uid != ::geteuid() && ::geteuid() != 0) return "Složka " + path + " vám nepatří, nelze ji zamknout.";
  folders.push_back({path, static_cast<unsigned>(st.st_mode & 07777)});
  // the mode is on record before the folder is closed, so a lock is never
  // left without the means to undo it
  if (!Save(folders)) return "Seznam zamčených složek nelze uložit.";
  if (::chmod(path.c_str(), 0) != 0) {
    folders.pop_back();
    Save(folders);
    return "Složku " + path + " nelze zamknout.";
  }
  return {};
}

std::string UnlockFolder(const std::string& given) {
  std::string path = Canonical(given);
  std::vector<LockedFolder> folders = LockedFolders();
  auto it = std::find_if(folders.begin(), folders.end(), [&](const LockedFolder& f) { return f.path == path; });
  if (it == folders.end()) return "Složka " + given + " není zamčená.";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && ::chmod(path.c_str(), it->mode) != 0)
    return "Složku " + path + " nelze odemknout.";
  folders.erase(it);
  if (!Save(folders)) return "Seznam zamčených složek nelze uložit.";
  return {};
}
