#include "dialogs/folder_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kListHeader = "# ovlix-folderlock 2";

// Folders of the system whose whole tree is refused, besides /lib*: programs,
// libraries, configuration, devices, kernel views and the system's data.
constexpr std::string_view kSystemTrees[] = {"bin", "boot", "dev", "etc", "opt", "proc",
                                             "run", "sbin", "sys", "usr", "var"};

fs::path& SystemRoot() {
  static fs::path root = "/";
  return root;
}

fs::path ListFile() { return platform::ConfigRoot() / "folderlock" / "locked"; }

bool Save(const std::vector<LockedFolder>& folders) {
  std::ostringstream out;
  out << kListHeader << '\n';
  for (const LockedFolder& f : folders) out << std::oct << f.mode << ' ' << ListedPath(f.path) << '\n';
  return platform::WriteFileAtomically(ListFile(), out.str(), 0600);
}

// Undoes ListedPath; nothing for a backslash that starts no known pair.
std::optional<std::string> Unlisted(std::string_view listed) {
  std::string path;
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (listed[i] != '\\') {
      path += listed[i];
      continue;
    }
    if (++i == listed.size()) return std::nullopt;
    if (listed[i] == '\\')
      path += '\\';
    else if (listed[i] == 'n')
      path += '\n';
    else
      return std::nullopt;
  }
  return path;
}

// The path with every symbolic link, "." and ".." resolved; empty when some
// part of it does not exist.
std::string RealPath(const fs::path& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string out = real;
  std::free(real);
  return out;
}

// The absolute, normalised form, for a folder that may be gone: the part
// that exists is resolved, the rest normalised.
std::string Canonical(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) return {};
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  return p.string();
}

// The absolute path of a folder that cannot be reached (one inside a locked
// folder): the part that can be resolved, the rest as written.
std::string Reachable(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec).lexically_normal();
  if (ec) return {};
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  fs::path rest;
  for (; p.has_relative_path(); p = p.parent_path()) {
    if (std::string real = RealPath(p); !real.empty()) return rest.empty() ? real : (fs::path(real) / rest).string();
    rest = rest.empty() ? p.filename() : p.filename() / rest;
  }
  return {};
}

// `inner` is `folder` or lies below it.
bool Contains(const std::string& folder, const std::string& inner) {
  if (folder.empty() || inner.empty()) return false;
  fs::path a = fs::path(folder).lexically_normal(), b = fs::path(inner).lexically_normal();
  auto [end, _] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return end == a.end() || (std::next(end) == a.end() && end->empty());
}

bool InSystemTree(const std::string& tree, const std::string& path, const std::string& sharedTemp) {
  if (!Contains(tree, path)) return false;
  // what users put into the shared temporary folder is theirs, as in /tmp
  return !Contains(sharedTemp, path) || path == sharedTemp;
}

// `path` is a real path.
bool SystemFolder(const std::string& path) {
  const fs::path& root = SystemRoot();
  std::string top = RealPath(root);
  if (top.empty() || path == top || fs::path(path).parent_path() == top) return true;
  std::string sharedTemp = RealPath(root / "var" / "tmp");
  for (std::string_view name : kSystemTrees)
    if (InSystemTree(RealPath(root / name), path, sharedTemp)) return true;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(root, ec)) {
    std::string real = RealPath(entry.path());
    // a top folder reached through a link (/home on another disk, say)
    if (real == path) return true;
    if (entry.path().filename().string().starts_with("lib") && InSystemTree(real, path, sharedTemp)) return true;
  }
  return false;
}

bool HomeFolder(const std::string& path) {
  if (const char* home = std::getenv("HOME"); home && RealPath(home) == path) return true;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(SystemRoot() / "home", ec))
    if (RealPath(entry.path()) == path) return true;
  return false;
}

// The shared data folder of an installed program: the program folder is
// <prefix>/lib/ovlix, the data the package ships lies in <prefix>/share/ovlix.
std::string ShareFolder() { return Canonical(platform::ProgramFolder() + "../../share/ovlix"); }

// Why the folder at the real path `path` may not be locked, or nothing.
std::string Refusal(const std::string& path) {
  if (SystemFolder(path))
    return "je to systémová složka. Systémové složky nelze zamknout nikomu, ani správci systému (root).";
  if (HomeFolder(path)) return "je to domovská složka uživatele.";
  // the folders above the ones the program reads and writes, and its own
  // folders with all they hold (the lock script, the tips, the skins)
  std::string program = Canonical(platform::ProgramFolder()), share = ShareFolder();
  if (Contains(path, program) || Contains(path, Canonical(platform::ConfigRoot())) || Contains(program, path) ||
      Contains(path, share) || Contains(share, path))
    return "potřebuje ji tento program.";
  return {};
}

}  // namespace

std::string ListedPath(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

void SetSystemRoot(const std::filesystem::path& root) { SystemRoot() = root.empty() ? fs::path("/") : root; }

std::vector<LockedFolder> LockedFolders() {
  std::vector<LockedFolder> out;
  std::optional<std::string> bytes = platform::ReadWholeFile(ListFile());
  if (!bytes) return out;
  std::string_view text = *bytes;
  bool listed = text.starts_with(kListHeader) && text.substr(kListHeader.size(), 1) == "\n";
  if (listed) text.remove_prefix(kListHeader.size() + 1);
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos || blank + 1 >= line.size()) continue;
    char* end = nullptr;
    unsigned long mode = std::strtoul(line.c_str(), &end, 8);
    if (end != line.c_str() + blank || mode > 07777) continue;
    std::optional<std::string> path = line.substr(blank + 1);
    // a path mangled by hand is kept as it stands: its mode must not be lost
    if (listed) path = Unlisted(*path).value_or(*path);
    out.push_back({*path, static_cast<unsigned>(mode)});
  }
  return out;
}

std::string LockFolder(const std::string& given) {
  std::string path = RealPath(given);
  // The folder is checked and changed through one handle: a folder swapped
  // for a link after the checks (by another user, in a folder of theirs) is
  // never the one closed.
  int fd = path.empty() ? -1 : ::open(path.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return "Složka " + given + " neexistuje.";
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  std::string handle = "/proc/self/fd/" + std::to_string(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || RealPath(handle) != path)
    return "Složka " + given + " neexistuje.";
  if (std::string why = Refusal(path); !why.empty()) return "Složku " + path + " nelze zamknout: " + why;
  std::vector<LockedFolder> folders = LockedFolders();
  for (const LockedFolder& f : folders)
    if (f.path == path) return "Složka " + path + " už je zamčená.";
  if (st.st_uid != ::geteuid() && ::geteuid() != 0) return "Složka " + path + " vám nepatří, nelze ji zamknout.";
  folders.push_back({path, static_cast<unsigned>(st.st_mode & 07777)});
  // the mode is on record before the folder is closed, so a lock is never
  // left without the means to undo it
  if (!Save(folders)) return "Seznam zamčených složek nelze uložit.";
  if (::chmod(handle.c_str(), 0) != 0) {
    folders.pop_back();
    Save(folders);
    return "Složku " + path + " nelze zamknout.";
  }
  return {};
}

// Never refused: an older version may have locked a folder that is refused
// today, and it must be possible to give it back its permissions.
std::string UnlockFolder(const std::string& given) {
  std::string path = Canonical(given);
  if (path.empty()) path = Reachable(given);
  std::vector<LockedFolder> folders = LockedFolders();
  auto it = std::find_if(folders.begin(), folders.end(), [&](const LockedFolder& f) { return f.path == path; });
  if (it == folders.end()) return "Složka " + given + " není zamčená.";
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno != ENOENT) {
    // a locked folder above keeps this one out of reach, and its record is
    // all that can give it back its permissions
    for (const LockedFolder& f : folders)
      if (f.path != path && Contains(f.path, path))
        return "Složku " + path + " nelze odemknout: leží v zamčené složce " + f.path + ". Nejdříve odemkněte tu.";
    return "Složku " + path + " nelze odemknout.";
  }
  if (::chmod(path.c_str(), it->mode) != 0 && errno != ENOENT) return "Složku " + path + " nelze odemknout.";
  folders.erase(it);
  if (!Save(folders)) return "Seznam zamčených složek nelze uložit.";
  return {};
}
