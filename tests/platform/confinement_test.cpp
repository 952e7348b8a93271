#include "platform/confinement.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/atomic_file.h"
#include "tests/support/temp_root.h"

namespace {

constexpr int kUnconfined = 99;

// The exit status of `body` run in a child process, which confinement
// cannot outlive; it ends as a program does, by exit().
int InChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child == 0) std::exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(Confinement, NoOtherFileNoSocketNoProgramOnlyWhatWasOpen) {
  TempRoot root;
  root.Write(root.dir() / "input", "the input");
  root.Write(root.dir() / "other", "another file");
  int status = InChild([&] {
    int input = open((root.dir() / "input").c_str(), O_RDONLY);
    int early = socket(AF_UNIX, SOCK_STREAM, 0);  // made before, connected after
    if (!platform::ConfineProcess()) return kUnconfined;
    if (open((root.dir() / "other").c_str(), O_RDONLY) >= 0) return 1;
    if (open((root.dir() / "new").c_str(), O_WRONLY | O_CREAT, 0644) >= 0) return 2;
    if (socket(AF_INET, SOCK_STREAM, 0) >= 0 || socket(AF_UNIX, SOCK_DGRAM, 0) >= 0) return 3;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "/run/dbus/system_bus_socket");
    if (connect(early, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 || errno != EPERM) return 4;
    char* const argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>("exit 5"), nullptr};
    execv("/bin/sh", argv);  // returns only when refused
    char bytes[16] = {};
    if (read(input, bytes, sizeof bytes) != 9 || std::string(bytes) != "the input") return 6;
    return 0;
  });
  if (status == kUnconfined) GTEST_SKIP() << "this kernel (or a sanitizer) leaves the process unconfined";
  EXPECT_EQ(status, 0) << "1: another file opened, 2: a file made, 3: a socket made, 4: a socket connected, "
                          "5: a program ran, 6: the open file unreadable";
  EXPECT_FALSE(std::filesystem::exists(root.dir() / "new"));
}

TEST(Confinement, TheOutputIsPutInPlaceAfterASuccessOnly) {
  TempRoot root;
  std::filesystem::path written = root.dir() / "written.png", failed = root.dir() / "failed.png",
                        kept = root.dir() / "kept.png";
  root.Write(kept, "before");
  EXPECT_EQ(InChild([&] {
              platform::ConfineToOutput(written);
              return platform::WriteFileWhole(written, "picture", 0644) ? 0 : 1;
            }),
            0);
  EXPECT_EQ(root.Read(written), "picture");
  EXPECT_EQ(std::filesystem::status(written).permissions() & std::filesystem::perms::owner_read,
            std::filesystem::perms::owner_read);
  // a failure before the write leaves no file, and an old one as it was
  EXPECT_EQ(InChild([&] {
              platform::ConfineToOutput(failed);
              return 3;
            }),
            3);
  EXPECT_FALSE(std::filesystem::exists(failed));
  EXPECT_EQ(InChild([&] {
              platform::ConfineToOutput(kept);
              return 1;
            }),
            1);
  EXPECT_EQ(root.Read(kept), "before");
  for (const auto& entry : std::filesystem::directory_iterator(root.dir()))
    EXPECT_NE(entry.path().filename().string().front(), '.') << "a temporary twin is left: " << entry.path();
}

// The process that goes on after ConfineToOutput is the confined one, and
// the status its caller sees is the one it ended with; one that dies after
// writing (a parser taken over, crashing) leaves no file, torn or whole.
TEST(Confinement, TheConfinedReaderEndsTheCommandAndACrashLeavesNoFile) {
  TempRoot root;
  root.Write(root.dir() / "other", "another file");
  std::filesystem::path written = root.dir() / "written.png", crashed = root.dir() / "crashed.png";
  int status = InChild([&] {
    platform::ConfineToOutput(written);
    bool confined = open((root.dir() / "other").c_str(), O_RDONLY) < 0;
    if (!platform::WriteFileWhole(written, "picture", 0644)) return 1;
    return confined ? 7 : kUnconfined;
  });
  if (status == kUnconfined) GTEST_SKIP() << "this kernel (or a sanitizer) leaves the process unconfined";
  EXPECT_EQ(status, 7);
  EXPECT_EQ(root.Read(written), "picture");
  EXPECT_EQ(InChild([&] {
              platform::ConfineToOutput(crashed);
              if (platform::WriteFileWhole(crashed, "picture", 0644)) std::raise(SIGKILL);  // no core file
              return 0;
            }),
            1);
  EXPECT_FALSE(std::filesystem::exists(crashed));
  for (const auto& entry : std::filesystem::directory_iterator(root.dir()))
    EXPECT_NE(entry.path().filename().string().front(), '.') << "a temporary twin is left: " << entry.path();
}

}  // namespace
