#include "platform/window_messages.h"

#include <map>
#include <string>

#include "platform/text_util.h"

namespace platform {
namespace {

struct Window {
  WindowProc proc;
  std::string className;
  HWND parent;
};

std::map<HWND, Window>& Windows() {
  static std::map<HWND, Window> windows;
  return windows;
}

}  // namespace

HWND CreateWindowHandle(WindowProc proc, const char* className, HWND parent) {
  static HWND next = 0x10000;
  next += 2;
  Windows().emplace(next, Window{std::move(proc), className ? className : "", parent});
  return next;
}

void DestroyWindowHandle(HWND window) { Windows().erase(window); }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = Windows().find(window);
  if (it == Windows().end()) return 0;
  WindowProc proc = it->second.proc;  // the procedure may destroy its own handle
  return proc(message, wParam, lParam);
}

HWND FindWindowA(const char* className, const char* windowName) { return FindWindowExA(0, 0, className, windowName); }

HWND FindWindowExA(HWND parent, HWND childAfter, const char* className, const char*) {
  // windows have no titles here, so any title asked for matches
  for (auto it = Windows().upper_bound(childAfter); it != Windows().end(); ++it)
    if (it->second.parent == parent && (className == nullptr || EqualsNoCase(it->second.className, className)))
      return it->first;
  return 0;
}

}  // namespace platform
