// ovlix-resx extract beside icoutils' `wrestool -x`, each writing every
// resource of a library into an empty folder.
//   resx_extract [LIBRARY]
// 1. LIBRARY, by default Wine's shell32.dll (14.8 MB, about 1,900
//    resources) where Debian's libwine puts it. Without it, the package is
//    fetched (apt-get download libwine, unpacked with dpkg -x) into
//    $TMPDIR/ovlix-resx-extract; where that fails too, a generated 15 MB
//    library stands in, and the output says so. Wall time, best and median
//    of 7 turns, a new folder each, the tools taking turns at going first;
//    target: ovlix-resx no slower than wrestool -x. `wrestool -x --raw`
//    (every resource as stored, as many files as ovlix-resx writes or
//    more, where -x writes the pictures only) is shown beside them.
// 2. A hostile library of a few kB whose names all lead to one directory
//    of 1,500 names, whose entries all lead to one directory of 1,500
//    languages; target: under 2 s.
// A smoke run (bench/smoke.h) takes small generated libraries, one turn,
// and fetches nothing.
//
// ext4 without a journal does not reuse an inode freed in the last minute,
// or six while its part of the inode table is unwritten, which every new
// file near it makes it: each new file of a block group passes over every
// such inode, so a turn that follows the removal of many files nearby
// times that removal, and more so for the tool that makes more files. The
// turns therefore remove nothing; all is removed at the end, and a run
// that starts within six minutes of that waits for the rest of them. Each
// timed run starts with nothing left to write back (syncfs, not timed), so
// no tool pays for another's files.
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/resx_library.h"
#include "bench/smoke.h"

namespace fs = std::filesystem;
using bench::Library;
using bench::Sized;
using bench::WallMs;

namespace {

constexpr const char* kShell32 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";

// Wine's shell32.dll, from the system or from the package unpacked here.
std::string Shell32(const fs::path& dir) {
  if (fs::exists(kShell32)) return kShell32;
  fs::path unpacked = dir / "wine";
  fs::path dll = unpacked.string() + kShell32;
  if (!fs::exists(dll)) {
    fs::create_directories(unpacked);
    int status = 0;
    WallMs({"/bin/sh", "-c", "cd '" + unpacked.string() + "' && apt-get download libwine && dpkg -x libwine_*.deb ."},
           &status);
  }
  return fs::exists(dll) ? dll.string() : std::string();
}

struct Turns {
  std::vector<double> ms;
  double Best() const { return ms.front(); }
  double Median() const { return ms[ms.size() / 2]; }
};

// Writes out everything of the file system that holds `folder`.
void WriteOut(const fs::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::syncfs(fd);
  ::close(fd);
}

// Removes the folders, writes out the removal and notes when it was done.
void Remove(const fs::path& dir, std::initializer_list<fs::path> folders) {
  bool removed = false;
  for (const fs::path& folder : folders) removed = fs::remove_all(folder) > 0 || removed;
  if (!removed) return;
  WriteOut(dir);
  std::ofstream(dir / "removed");
}

// Whether the folder is on ext4 (or ext2, ext3) without a journal, where
// freed inodes are held back; the driver then shows no journal task.
bool HoldsFreedInodes(const fs::path& folder) {
  struct statfs fsInfo {};
  struct stat st {};
  if (::statfs(folder.c_str(), &fsInfo) != 0 || fsInfo.f_type != EXT4_SUPER_MAGIC || ::stat(folder.c_str(), &st) != 0)
    return false;
  std::error_code ec;
  const fs::path device =
      fs::canonical("/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev)), ec);
  std::ifstream task("/sys/fs/ext4/" + device.filename().string() + "/journal_task");
  std::string line;
  return ec || !std::getline(task, line) || line == "<none>";  // where it cannot be told, as if held
}

// Where freed inodes are held, waits until the last removal is six minutes
// old; then writes out what is left.
void Settle(const fs::path& dir) {
  std::error_code ec;
  const fs::file_time_type removed = fs::last_write_time(dir / "removed", ec);
  if (!ec && !bench::Smoke() && HoldsFreedInodes(dir)) {
    const auto wait = removed + std::chrono::seconds(361) - fs::file_time_type::clock::now();
    if (wait > wait.zero()) {
      std::printf("waiting %lld s for the file system to reuse the inodes the last run freed\n\n",
                  static_cast<long long>(std::chrono::ceil<std::chrono::seconds>(wait).count()));
      std::fflush(stdout);
      std::this_thread::sleep_for(wait);
    }
  }
  WriteOut(dir);
}

// One tool's side: how it is run into a folder, and its turns.
struct Side {
  const char* label;
  std::vector<std::string> command;  // the output folder is put in for "{}"
  fs::path folders;
  Turns turns;

  double Run(int turn, int* status = nullptr) const {
    fs::path into = folders / std::to_string(turn);
    fs::create_directories(into);
    std::vector<std::string> argv = command;
    for (std::string& arg : argv)
      if (arg == "{}") arg = into.string();
    WriteOut(folders);
    int ignored = 0;  // wrestool fails on the resources it cannot convert
    return WallMs(argv, status != nullptr ? status : &ignored);
  }
  std::size_t Files(int turn) const {
    std::size_t files = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folders / std::to_string(turn)))
      files += e.is_regular_file();
    return files;
  }
};

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = fs::temp_directory_path() / "ovlix-resx-extract";
  fs::create_directories(dir);
  const fs::path tool = fs::canonical("/proc/self/exe").parent_path().parent_path() / "ovlix-resx";
  std::string library = argc > 1 ? argv[1] : bench::Smoke() ? std::string() : Shell32(dir);
  std::string what = library;
  if (library.empty()) {
    library = (dir / "generated.dll").string();
    std::ofstream(library, std::ios::binary)
        << (bench::Smoke() ? Library(10, 10, 5, 5, 16, 0x10) : Library(1000, 1000, 500, 500, 64, 0x10));
    what = "a generated library (Wine's shell32.dll is not at hand)";
  }
  const bool wrestoolHere = bench::PeerAtHand("wrestool", "icoutils");
  const int turns = Sized(7, 1), hostileTurns = Sized(3, 1), shared = Sized(1500, 20);

  std::vector<Side> sides{{"ovlix-resx extract", {tool.string(), "extract", library, "{}"}, dir / "ovlix", {}}};
  if (wrestoolHere) {
    sides.push_back({"wrestool -x", {"wrestool", "-x", "-o", "{}", library}, dir / "wrestool", {}});
    sides.push_back({"wrestool -x --raw", {"wrestool", "-x", "--raw", "-o", "{}", library}, dir / "raw", {}});
  }
  const fs::path hostileFolders = dir / "hostile";
  Remove(dir, {dir / "ovlix", dir / "wrestool", dir / "raw", hostileFolders});  // a run that did not end
  Settle(dir);
  // the library's pages are read once before the turns, for all
  for (const Side& side : sides) side.Run(0);
  if (sides[0].Files(0) == 0) {
    std::fprintf(stderr, "FAILED: ovlix-resx extract wrote no file\n");
    return 1;
  }
  for (int i = 1; i <= turns; ++i)
    for (std::size_t k = 0; k < sides.size(); ++k) {
      Side& side = sides[(k + static_cast<std::size_t>(i)) % sides.size()];
      int status = 0;
      side.turns.ms.push_back(side.Run(i, &status));
      if (&side == &sides[0] && status != 0) {
        std::fprintf(stderr, "FAILED: ovlix-resx extract ended with status %d\n", status);
        return 1;
      }
    }
  for (Side& side : sides) std::sort(side.turns.ms.begin(), side.turns.ms.end());
  std::printf("extract every resource of %s, %.1f MB, into an empty folder (wall time, best and median of %d)\n",
              what.c_str(), static_cast<double>(fs::file_size(library)) / 1e6, turns);
  const Turns& o = sides[0].turns;
  for (const Side& side : sides) {
    std::printf("  %-24s %8.1f ms  median %7.1f ms   %zu files", side.label, side.turns.Best(), side.turns.Median(),
                side.Files(1));
    if (&side != &sides[0])
      std::printf(", ratio %.2f, of the medians %.2f", side.turns.Best() / o.Best(), side.turns.Median() / o.Median());
    std::printf("\n");
  }
  std::printf("  target: ratio (wrestool -x / ovlix-resx) >= 1\n\n");

  std::string hostile = (dir / "shared.dll").string();
  std::ofstream(hostile, std::ios::binary) << SharedDirectories(shared);
  const Side hostileSide{"", {tool.string(), "extract", hostile, "{}"}, hostileFolders, {}};
  double best = 1e9;
  int status = 0;
  for (int i = 0; i < hostileTurns; ++i) best = std::min(best, hostileSide.Run(i, &status));  // reports the damage
  std::printf("extract a hostile library of %.1f kB: %d names sharing one directory of %d (best of %d)\n",
              static_cast<double>(fs::file_size(hostile)) / 1e3, shared, shared, hostileTurns);
  std::printf("  %-24s %8.1f ms   %zu files, exit status %d   target: < 2000 ms\n", "ovlix-resx extract", best,
              hostileSide.Files(0), status);
  Remove(dir, {dir / "ovlix", dir / "wrestool", dir / "raw", hostileFolders});
  return 0;
}
