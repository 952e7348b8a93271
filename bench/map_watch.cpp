// Starts a program and reports, in milliseconds, when its window named NAME
// is first mapped on the X server, then its resident memory after it has
// stood idle for a while. Run without a window manager, so top-level
// windows are children of the root window.
//   map_watch NAME IDLE-MS PROGRAM [ARGS...]  ->  "<ms> <rss-kB>"
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: map_watch NAME IDLE-MS PROGRAM [ARGS...]\n");
    return 2;
  }
  const char* wanted = argv[1];
  int idleMs = std::atoi(argv[2]);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "map_watch: no X display\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execv(argv[3], argv + 3);
    _exit(127);
  }
  double ms = -1;
  pollfd fd{ConnectionNumber(display), POLLIN, 0};
  while (ms < 0) {
    if (XPending(display) == 0 && poll(&fd, 1, 20000) <= 0) break;
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    char* name = nullptr;
    if (XFetchName(display, event.xmap.window, &name) && name) {
      if (std::strcmp(name, wanted) == 0)
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      XFree(name);
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
  long rss = ResidentKb(pid);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  XCloseDisplay(display);
  if (ms < 0) {
    std::fprintf(stderr, "map_watch: the window '%s' never appeared\n", wanted);
    return 1;
  }
  std::printf("%.1f %ld\n", ms, rss);
  return 0;
}
