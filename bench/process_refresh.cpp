// Refreshing the process killer's list with thousands of processes of the
// user's own present, under the usual soft limit of 1024 open files, side
// by side with `ps -e` over the same processes: the time of a refresh (wall
// clock and CPU; ps's CPU as reported for the waited-for child) and the
// descriptors this program holds with the list on view.
//   process_refresh [EXTRA-PROCESSES] [ROUNDS]
// A smoke run (bench/smoke.h) starts a few processes and refreshes once.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/smoke.h"
#include "framework/edit_combo.h"
#include "prockill/Unit5.h"
#include "skin/SkinManager.h"

namespace {

double Ms(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double ChildrenCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

std::size_t OpenDescriptors() {
  std::size_t n = 0;
  if (DIR* fds = opendir("/proc/self/fd")) {
    while (dirent* entry = readdir(fds)) n += entry->d_name[0] != '.';
    closedir(fds);
    --n;  // the one reading the folder
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  int extra = argc > 1 ? std::atoi(argv[1]) : bench::Sized(5000, 3);
  int rounds = argc > 2 ? std::atoi(argv[2]) : bench::Sized(10, 1);
  // the soft limit most desktops start programs with
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = std::min<rlim_t>(1024, files.rlim_max);
  setrlimit(RLIMIT_NOFILE, &files);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  std::vector<pid_t> sleepers;
  for (int i = 0; i < extra; ++i) {
    pid_t pid = fork();
    if (pid == 0) {
      // gone with this process, however it ends, and holding none of its
      // output open (a test runner waits for that to close)
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      execl("/bin/sleep", "sleep", "300", static_cast<char*>(nullptr));
      _exit(127);
    }
    sleepers.push_back(pid);
  }
  usleep(300000);

  TSkinManager skins;
  TEditCombo skinBox(nullptr, QStringLiteral("ComboBox1"));
  TForm5 killer(nullptr, skins, skinBox);
  killer.EnsureControls();  // the list the refresh fills, built as at the first showing
  killer.Button3Click();    // warm up
  double cpuStart = Ms(CLOCK_PROCESS_CPUTIME_ID), wallStart = Ms(CLOCK_MONOTONIC);
  for (int i = 0; i < rounds; ++i) killer.Button3Click();
  double refreshCpu = (Ms(CLOCK_PROCESS_CPUTIME_ID) - cpuStart) / rounds;
  double refreshWall = (Ms(CLOCK_MONOTONIC) - wallStart) / rounds;
  int rows = killer.lister->rowCount();
  int numbered = 0;
  for (int r = 0; r < rows; ++r) numbered += killer.lister->item(r, 1)->text() != QLatin1String("0");
  std::size_t descriptors = OpenDescriptors();

  double psCpuStart = ChildrenCpuMs(), psWallStart = Ms(CLOCK_MONOTONIC);
  for (int i = 0; i < rounds; ++i) {
    pid_t pid = fork();
    if (pid == 0) {
      if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
      execlp("ps", "ps", "-e", static_cast<char*>(nullptr));
      _exit(127);
    }
    waitpid(pid, nullptr, 0);
  }
  double psCpu = (ChildrenCpuMs() - psCpuStart) / rounds;
  double psWall = (Ms(CLOCK_MONOTONIC) - psWallStart) / rounds;

  for (pid_t pid : sleepers) kill(pid, SIGKILL);
  for (pid_t pid : sleepers) waitpid(pid, nullptr, 0);

  std::printf("process list of %d processes (%d with a number), soft limit of open files %llu, mean of %d\n", rows,
              numbered, static_cast<unsigned long long>(files.rlim_cur), rounds);
  std::printf("  %-24s %9s %9s\n", "", "wall ms", "CPU ms");
  std::printf("  %-24s %9.2f %9.2f\n", "process killer refresh", refreshWall, refreshCpu);
  std::printf("  %-24s %9.2f %9.2f\n", "ps -e", psWall, psCpu);
  std::printf("  %-24s %9.2f %9.2f   target: at most 1\n", "ratio (killer / ps)", refreshWall / psWall,
              refreshCpu / psCpu);
  std::printf("  descriptors held: %zu   target: at most %d (processes shown + 64)\n", descriptors, rows + 64);
  bool failed = false;
  if (rows <= extra) {
    std::fprintf(stderr, "FAILED: the list holds %d processes, not even the %d started for it and this one\n", rows,
                 extra);
    failed = true;
  }
  if (numbered < extra) {
    std::fprintf(stderr, "FAILED: only %d rows have a number, fewer than the %d processes of this user\n", numbered,
                 extra);
    failed = true;
  }
  if (descriptors > static_cast<std::size_t>(rows) + 64) {
    std::fprintf(stderr, "FAILED: %zu descriptors held for %d rows\n", descriptors, rows);
    failed = true;
  }
  return failed ? 1 : 0;
}
