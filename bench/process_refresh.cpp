// Refreshing the process killer's list with several hundred processes
// present, side by side with `ps -e -o comm=` over the same processes.
// CPU time is what is compared: the refresh's in this process, ps's as
// reported for the waited-for child.
//   process_refresh [EXTRA-PROCESSES] [ROUNDS]
// A smoke run (bench/smoke.h) starts a few processes and refreshes once.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/smoke.h"
#include "framework/edit_combo.h"
#include "prockill/Unit5.h"
#include "skin/SkinManager.h"

namespace {

double CpuMs(clockid_t clock) {
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

}  // namespace

int main(int argc, char** argv) {
  int extra = argc > 1 ? std::atoi(argv[1]) : bench::Sized(400, 3);
  int rounds = argc > 2 ? std::atoi(argv[2]) : bench::Sized(50, 1);
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
  double start = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
  for (int i = 0; i < rounds; ++i) killer.Button3Click();
  double refresh = (CpuMs(CLOCK_PROCESS_CPUTIME_ID) - start) / rounds;
  int rows = killer.lister->rowCount();

  double before = ChildrenCpuMs();
  for (int i = 0; i < rounds; ++i) {
    pid_t pid = fork();
    if (pid == 0) {
      freopen("/dev/null", "w", stdout);
      execlp("ps", "ps", "-e", "-o", "comm=", static_cast<char*>(nullptr));
      _exit(127);
    }
    waitpid(pid, nullptr, 0);
  }
  double ps = (ChildrenCpuMs() - before) / rounds;

  for (pid_t pid : sleepers) kill(pid, SIGKILL);
  for (pid_t pid : sleepers) waitpid(pid, nullptr, 0);

  std::printf("process list of %d processes, CPU per refresh (mean of %d)\n", rows, rounds);
  std::printf("  %-26s %8.2f ms   target: well under 10 ms\n", "process killer refresh", refresh);
  std::printf("  %-26s %8.2f ms\n", "ps -e -o comm=", ps);
  std::printf("  %-26s %8.2f\n", "ratio (killer / ps)", refresh / ps);
  if (rows <= extra) {
    std::fprintf(stderr, "FAILED: the list holds %d processes, not even the %d started for it and this one\n", rows,
                 extra);
    return 1;
  }
  return 0;
}
