// ovlix-resx extract beside icoutils' `wrestool -x`, each writing every
// resource of a library into an empty folder.
//   resx_extract [LIBRARY]
// 1. LIBRARY, by default Wine's shell32.dll (14.8 MB, about 1,900
//    resources) where Debian's libwine puts it. Without it, the package is
//    fetched (apt-get download libwine, unpacked with dpkg -x) into
//    $TMPDIR/ovlix-resx-extract; where that fails too, a generated 15 MB
//    library stands in, and the output says so. Wall time, best and median
//    of 7 turns, a new folder each; target: ovlix-resx no slower.
// 2. A hostile library of a few kB whose names all lead to one directory
//    of 1,500 names, whose entries all lead to one directory of 1,500
//    languages; target: under 2 s.
// A smoke run (bench/smoke.h) takes small generated libraries, one turn,
// and fetches nothing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/resx_library.h"
#include "bench/smoke.h"

namespace fs = std::filesystem;
using bench::Library;
using bench::OursMs;
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

  fs::path ours = dir / "ovlix", theirs = dir / "wrestool";
  auto fresh = [](const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
  };
  // Each turn writes into an empty folder of its own; all are removed after
  // the turns. Removing the last turn's files just before a turn would
  // time the file system instead: ext4 without a journal passes over every
  // inode freed in the last seconds (minutes, while unwritten) on each new
  // file, and the two tools make a different number of files.
  fresh(ours), fresh(theirs);
  auto into = [](const fs::path& folder, int turn) {
    fs::path empty = folder / std::to_string(turn);
    fs::create_directories(empty);
    return empty.string();
  };
  // the library's pages are read once before the turns, for both
  OursMs({tool.string(), "extract", library, into(ours, 0)});
  int status = 0;
  if (wrestoolHere) WallMs({"wrestool", "-x", "-o", into(theirs, 0), library}, &status);
  Turns o, w;
  for (int i = 1; i <= turns; ++i) {
    o.ms.push_back(OursMs({tool.string(), "extract", library, into(ours, i)}));
    if (wrestoolHere) w.ms.push_back(WallMs({"wrestool", "-x", "-o", into(theirs, i), library}, &status));
  }
  std::sort(o.ms.begin(), o.ms.end());
  std::sort(w.ms.begin(), w.ms.end());
  auto filesIn = [](const fs::path& folder) {
    std::size_t files = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) files += e.is_regular_file();
    return files;
  };
  std::size_t files = filesIn(ours / "1");
  if (files == 0) {
    std::fprintf(stderr, "FAILED: ovlix-resx extract wrote no file\n");
    return 1;
  }
  std::printf("extract every resource of %s, %.1f MB, into an empty folder (wall time, best and median of %d)\n",
              what.c_str(), static_cast<double>(fs::file_size(library)) / 1e6, turns);
  std::printf("  %-24s %8.1f ms  median %7.1f ms   %zu files\n", "ovlix-resx extract", o.Best(), o.Median(), files);
  if (wrestoolHere)
    std::printf("  %-24s %8.1f ms  median %7.1f ms   %zu files, ratio %.2f, of the medians %.2f\n", "wrestool -x",
                w.Best(), w.Median(), filesIn(theirs / "1"), w.Best() / o.Best(), w.Median() / o.Median());
  std::printf("  target: ratio (wrestool / ovlix-resx) >= 1\n\n");

  std::string hostile = (dir / "shared.dll").string();
  std::ofstream(hostile, std::ios::binary) << SharedDirectories(shared);
  double best = 1e9;
  for (int i = 0; i < hostileTurns; ++i) {
    fresh(ours);
    best = std::min(best, WallMs({tool.string(), "extract", hostile, ours.string()}, &status));  // reports the damage
  }
  files = filesIn(ours);
  std::printf("extract a hostile library of %.1f kB: %d names sharing one directory of %d (best of %d)\n",
              static_cast<double>(fs::file_size(hostile)) / 1e3, shared, shared, hostileTurns);
  std::printf("  %-24s %8.1f ms   %zu files, exit status %d   target: < 2000 ms\n", "ovlix-resx extract", best, files,
              status);
  fs::remove_all(ours), fs::remove_all(theirs);
  return 0;
}
