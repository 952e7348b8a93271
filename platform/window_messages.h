// Window handles and messages: how the platform's tray icon and hotkeys
// reach a window. A window takes a handle with its message procedure;
// SendMessageA calls that procedure at once, on the calling thread.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/win32.h"

namespace platform {

using HWND = std::intptr_t;  // 0 is no window
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr UINT WM_HOTKEY = 786;
constexpr UINT WM_MOUSEMOVE = 512;
constexpr UINT WM_LBUTTONDOWN = 513;
constexpr UINT WM_LBUTTONUP = 514;
constexpr UINT WM_LBUTTONDBLCLK = 515;
constexpr UINT WM_RBUTTONDOWN = 516;
constexpr UINT WM_RBUTTONUP = 517;
constexpr UINT WM_MBUTTONUP = 520;
constexpr UINT WM_USER = 1024;

using WindowProc = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

HWND CreateWindowHandle(WindowProc proc);
void DestroyWindowHandle(HWND window);
// 0, whether or not a window took the message; nothing for a stale handle.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform
