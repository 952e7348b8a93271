#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string>

#include "tests/support/temp_root.h"

namespace {

// From here on the process is killed when it sets its umask.
void ForbidSettingTheUmask() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_umask, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
    std::_Exit(2);
}

// A new file gets the mode asked for less the umask, which is read, not
// set: setting it, even back at once, leaves other threads' new files
// without it meanwhile.
TEST(AtomicFile, ANewFileTakesTheUmaskWithoutSettingIt) {
  TempRoot root;
  const std::string path = (root.dir() / "new.ini").string();
  EXPECT_EXIT(
      {
        ::umask(027);
        ForbidSettingTheUmask();
        struct stat st {};
        bool written = platform::WriteFileAtomically(path, "x", 0666) && ::stat(path.c_str(), &st) == 0;
        std::_Exit(written && (st.st_mode & 0777) == 0640 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

mode_t Mode(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::set<std::string> Files(const std::filesystem::path& dir) {
  std::set<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    files.insert(std::filesystem::relative(e.path(), dir).string() + (e.is_directory() ? "/" : ""));
  return files;
}

// A batch keeps the last file's folders open: going back to a folder left
// before, into a sibling whose name begins like it, or up to the root
// still lands each file where its path says, and only the files remain.
TEST(FileBatch, WritesEachFileWhereItsPathSays) {
  TempRoot root;
  const std::filesystem::path out = root.dir() / "out";
  {
    platform::FileBatch batch(out, 0644);
    for (const char* path : {"A/x.bin", "Ab/y.bin", "A/z.bin", "A/C/w.bin", "top.bin", "A/C/v.bin", "Ab/u.bin"})
      EXPECT_TRUE(batch.Write(path, std::string("bytes of ") + path)) << path;
  }
  EXPECT_EQ(Files(out), (std::set<std::string>{"A/", "A/x.bin", "A/z.bin", "A/C/", "A/C/w.bin", "A/C/v.bin", "Ab/",
                                               "Ab/y.bin", "Ab/u.bin", "top.bin"}));
  EXPECT_EQ(root.Read(out / "A" / "C" / "w.bin"), "bytes of A/C/w.bin");
  EXPECT_EQ(root.Read(out / "Ab" / "u.bin"), "bytes of Ab/u.bin");
  EXPECT_EQ(root.Read(out / "top.bin"), "bytes of top.bin");
}

// Into a folder written before: a file replaced keeps its mode, a new one
// gets the mode asked for less the umask. A path through a file fails with
// why, and the batch goes on.
TEST(FileBatch, ReplacesAnOlderFileKeepingItsMode) {
  TempRoot root;
  const std::filesystem::path out = root.dir() / "out";
  root.Write(out / "A" / "old.bin", "old");
  ::chmod((out / "A" / "old.bin").c_str(), 0600);
  const mode_t mask = ::umask(022);
  {
    platform::FileBatch batch(out, 0666);
    EXPECT_TRUE(batch.Write("A/old.bin", "new"));
    EXPECT_TRUE(batch.Write("A/new.bin", "new"));
    EXPECT_FALSE(batch.Write("A/old.bin/x.bin", "x"));
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_TRUE(batch.Write("B/after.bin", "after"));
  }
  ::umask(mask);
  EXPECT_EQ(root.Read(out / "A" / "old.bin"), "new");
  EXPECT_EQ(Mode(out / "A" / "old.bin"), 0600u);
  EXPECT_EQ(Mode(out / "A" / "new.bin"), 0644u);
  EXPECT_EQ(Files(out), (std::set<std::string>{"A/", "A/old.bin", "A/new.bin", "B/", "B/after.bin"}));
}

}  // namespace
