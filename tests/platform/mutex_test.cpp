#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/mutex.h"
#include "tests/support/temp_root.h"

namespace {

// Runs `body` in a child process and returns its exit code.
template <class F>
int InChild(F body) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(NamedMutex, OneHolderPerName) {
  TempRoot root;
  ASSERT_NE(platform::CreateMutexA(nullptr, FALSE_, "Ovlix"), 0);
  EXPECT_EQ(platform::GetLastError(), ERROR_SUCCESS);
  // another process, and this one again, find it taken
  EXPECT_EQ(InChild([] {
              platform::CreateMutexA(nullptr, FALSE_, "Ovlix");
              return static_cast<int>(platform::GetLastError() == ERROR_ALREADY_EXISTS);
            }),
            1);
  platform::CreateMutexA(nullptr, FALSE_, "Ovlix");
  EXPECT_EQ(platform::GetLastError(), ERROR_ALREADY_EXISTS);
  platform::CreateMutexA(nullptr, FALSE_, "Other");
  EXPECT_EQ(platform::GetLastError(), ERROR_SUCCESS);
}

TEST(NamedMutex, TheKernelReleasesItWhenTheHolderDies) {
  TempRoot root;
  int rc = InChild([] {
    platform::CreateMutexA(nullptr, FALSE_, "Crash");
    if (platform::GetLastError() != ERROR_SUCCESS) return 1;
    ::abort();  // no clean-up of any kind
  });
  EXPECT_EQ(rc, -1);
  platform::CreateMutexA(nullptr, FALSE_, "Crash");
  EXPECT_EQ(platform::GetLastError(), ERROR_SUCCESS);
}

}  // namespace
