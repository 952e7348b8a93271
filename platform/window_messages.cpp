#include "platform/window_messages.h"

#include <map>

namespace platform {
namespace {

std::map<HWND, WindowProc>& Windows() {
  static std::map<HWND, WindowProc> windows;
  return windows;
}

}  // namespace

HWND CreateWindowHandle(WindowProc proc) {
  static HWND next = 0x10000;
  next += 2;
  Windows().emplace(next, std::move(proc));
  return next;
}

void DestroyWindowHandle(HWND window) { Windows().erase(window); }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = Windows().find(window);
  if (it == Windows().end()) return 0;
  WindowProc proc = it->second;  // the procedure may destroy its own handle
  proc(message, wParam, lParam);
  return 0;
}

}  // namespace platform
