// What the resource benchmarks share: running a tool the way a user
// would, and a library of the usual resource kinds made to measure.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/resx/fixtures.h"

extern char** environ;

namespace bench {

// Runs a program directly (no shell in the timing), its output to
// /dev/null; a failure is told unless the caller takes the exit status.
inline double WallMs(const std::vector<std::string>& command, int* exitStatus = nullptr) {
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int status = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  if (exitStatus != nullptr)
    *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  else if (status != 0)
    std::fprintf(stderr, "failed: %s\n", command[0].c_str());
  return ms;
}

// WallMs for our own side: a failure ends the benchmark.
inline double OursMs(const std::vector<std::string>& command) {
  int status = 0;
  double ms = WallMs(command, &status);
  if (status != 0) {
    std::fprintf(stderr, "FAILED: %s ended with status %d\n", command[0].c_str(), status);
    std::exit(1);
  }
  return ms;
}

inline std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A library of `bitmaps` bitmaps of `bitmapSide` pixels square, `icons`
// icon images in groups of two, `strings` string tables and `blobs` raw
// resources of 4 kB, after `codeSize` bytes of code.
inline std::string Library(int bitmaps, int icons, int strings, int blobs, int bitmapSide, std::uint32_t codeSize) {
  std::vector<ResNode> bmp, ico, groups, str, raw;
  std::string picture = Bitmap(40, bitmapSide, bitmapSide, 24), image = IconImage(32, 32, 4);
  std::vector<std::u16string> table(16, u"Položka nabídky číslo");
  std::string block = StringBlock(table);
  for (int i = 1; i <= bitmaps; ++i) bmp.push_back(Named(static_cast<std::uint32_t>(i), picture));
  for (int i = 1; i <= icons; ++i) ico.push_back(Named(static_cast<std::uint32_t>(i), image));
  for (int i = 1; i + 1 <= icons; i += 2)
    groups.push_back(
        Named(static_cast<std::uint32_t>(i), IconGroup({{32, 32, 16, 4, static_cast<std::uint16_t>(i), 744},
                                                        {32, 32, 16, 4, static_cast<std::uint16_t>(i + 1), 744}})));
  for (int i = 1; i <= strings; ++i) str.push_back(Named(static_cast<std::uint32_t>(i), block));
  for (int i = 1; i <= blobs; ++i) raw.push_back(Named(static_cast<std::uint32_t>(i), std::string(4096, 'x')));
  PeOptions options;
  options.resourceVirtualAddress = 0x1000 + (codeSize + 0xFFF) / 0x1000 * 0x1000;
  options.codeSize = codeSize;
  return BuildPe({Dir(2u, bmp), Dir(3u, ico), Dir(6u, str), Dir(10u, raw), Dir(14u, groups)}, options).bytes;
}

}  // namespace bench
