#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_root.h"

namespace {

// A system call the process may no longer make as asked: `nr` with any of
// `flags` set in its argument `arg` (every call when `flags` is 0) ends
// as `action` says (SECCOMP_RET_ERRNO | an error, or a kill).
struct Refusal {
  int nr;
  unsigned arg;
  std::uint32_t flags;
  std::uint32_t action;
};

// From here on the calls are refused.
void Refuse(std::initializer_list<Refusal> refusals) {
  std::vector<sock_filter> filter;
  for (const Refusal& r : refusals) {
    const auto nr = static_cast<std::uint32_t>(r.nr);
    filter.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
    if (r.flags == 0) {
      filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, nr, 0, 1));
    } else {
      // the low half of the argument, where the flags are (little-endian)
      const auto at = static_cast<std::uint32_t>(offsetof(seccomp_data, args) + 8 * r.arg);
      filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, nr, 0, 3));
      filter.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, at));
      filter.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, r.flags, 0, 1));
    }
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, r.action));
  }
  filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
    std::_Exit(2);
}

// The bit of O_TMPFILE that O_DIRECTORY does not have.
constexpr std::uint32_t kTmpfile = O_TMPFILE & ~O_DIRECTORY;

constexpr std::uint32_t Error(int error) { return SECCOMP_RET_ERRNO | static_cast<std::uint32_t>(error); }

// From here on the process is killed when it sets its umask.
void ForbidSettingTheUmask() { Refuse({{__NR_umask, 0, 0, SECCOMP_RET_KILL_PROCESS}}); }

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

// No rename at all.
constexpr Refusal kNoRename[] = {
    {__NR_rename, 0, 0, Error(EPERM)}, {__NR_renameat, 0, 0, Error(EPERM)}, {__NR_renameat2, 0, 0, Error(EPERM)}};

// A new file is written nameless and linked under its name: no temporary
// name, no rename. One written twice is replaced, keeping the batch's mode.
TEST(FileBatch, GivesANewFileItsNameOnlyWhenItIsWhole) {
  TempRoot root;
  const std::filesystem::path out = root.dir() / "out";
  root.Write(out / "A" / "old.bin", "old");
  EXPECT_EXIT(
      {
        ::umask(022);
        Refuse({kNoRename[0], kNoRename[1], kNoRename[2]});
        platform::FileBatch batch(out, 0666);
        std::_Exit(batch.Write("A/new.bin", "new") && batch.Write("B/x.bin", "x") && batch.Write("top.bin", "top") ? 0
                                                                                                                   : 1);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(Files(out), (std::set<std::string>{"A/", "A/old.bin", "A/new.bin", "B/", "B/x.bin", "top.bin"}));
  EXPECT_EQ(root.Read(out / "A" / "new.bin"), "new");
  EXPECT_EQ(root.Read(out / "B" / "x.bin"), "x");
  EXPECT_EQ(Mode(out / "B" / "x.bin"), 0644u);

  const mode_t mask = ::umask(022);
  {
    platform::FileBatch batch(out, 0640);
    EXPECT_TRUE(batch.Write("C/twice.bin", "first"));
    EXPECT_TRUE(batch.Write("C/twice.bin", "second"));
  }
  ::umask(mask);
  EXPECT_EQ(root.Read(out / "C" / "twice.bin"), "second");
  EXPECT_EQ(Mode(out / "C" / "twice.bin"), 0640u);
  EXPECT_EQ(Files(out / "C"), (std::set<std::string>{"twice.bin"}));
}

// Where a kernel links a descriptor only for a privileged process, the
// file is linked through its name under /proc, still without a rename.
TEST(FileBatch, LinksThroughProcWhereTheDescriptorCannotBeLinked) {
  TempRoot root;
  const std::filesystem::path out = root.dir() / "out";
  EXPECT_EXIT(
      {
        Refuse({{__NR_linkat, 4, AT_EMPTY_PATH, Error(ENOENT)}, kNoRename[0], kNoRename[1], kNoRename[2]});
        platform::FileBatch batch(out, 0644);
        std::_Exit(batch.Write("A/x.bin", "x") && batch.Write("A/y.bin", "y") ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(Files(out), (std::set<std::string>{"A/", "A/x.bin", "A/y.bin"}));
  EXPECT_EQ(root.Read(out / "A" / "y.bin"), "y");
}

// A file system or kernel without nameless files, or without a way to link
// one: each file is written under a temporary name and renamed, and
// nothing else is left.
TEST(FileBatch, WritesUnderATemporaryNameWhereNamelessFilesCannotBe) {
  const Refusal cases[] = {
      {__NR_openat, 2, kTmpfile, Error(EOPNOTSUPP)},  // the file system
      {__NR_openat, 2, kTmpfile, Error(EISDIR)},      // a kernel before O_TMPFILE
      {__NR_linkat, 0, 0, Error(ENOENT)},             // no /proc either
  };
  for (const Refusal& refused : cases) {
    TempRoot root;
    const std::filesystem::path out = root.dir() / "out";
    EXPECT_EXIT(
        {
          Refuse({refused});
          platform::FileBatch batch(out, 0644);
          std::_Exit(batch.Write("A/x.bin", "x") && batch.Write("A/x.bin", "again") && batch.Write("B/y.bin", "y") ? 0
                                                                                                                   : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Files(out), (std::set<std::string>{"A/", "A/x.bin", "B/", "B/y.bin"})) << refused.action;
    EXPECT_EQ(root.Read(out / "A" / "x.bin"), "again");
  }
}

// In a child: large files in a batch under a file size limit fail with
// EFBIG, a small one after them is written.
void WriteCutShort(const std::filesystem::path& out) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{1000, 1000};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const std::string large(5000, 'x');
  platform::FileBatch batch(out, 0644);
  bool cut = true;
  for (const char* path : {"A/old.bin", "A/new.bin", "B/new.bin"}) cut = cut && !batch.Write(path, large);
  std::_Exit(cut && errno == EFBIG && batch.Write("B/small.bin", "small") ? 0 : 1);
}

// A write cut short (here by the file size limit) leaves no file under its
// name and the older file as it was, written nameless or not.
TEST(FileBatch, AWriteCutShortLeavesNoFile) {
  for (bool nameless : {true, false}) {
    TempRoot root;
    const std::filesystem::path out = root.dir() / "out";
    root.Write(out / "A" / "old.bin", "old");
    EXPECT_EXIT(
        {
          if (!nameless) Refuse({{__NR_openat, 2, kTmpfile, Error(EOPNOTSUPP)}});
          WriteCutShort(out);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Files(out), (std::set<std::string>{"A/", "A/old.bin", "B/", "B/small.bin"})) << nameless;
    EXPECT_EQ(root.Read(out / "A" / "old.bin"), "old");
  }
}

}  // namespace
