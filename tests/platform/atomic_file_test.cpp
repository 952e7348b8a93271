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

}  // namespace
