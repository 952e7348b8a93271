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

using WindowProc = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;

// A window of `className` (may be empty), a child of `parent` (0: top-level).
HWND CreateWindowHandle(WindowProc proc, const char* className = "", HWND parent = 0);
void DestroyWindowHandle(HWND window);
// What the window's procedure returns; 0 for a stale handle.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The first top-level window of the class (a null title matches any); 0 if
// none. This desktop has no "Shell_TrayWnd": there is no taskbar of the
// platform's kind, and no Start button.
HWND FindWindowA(const char* className, const char* windowName);
// The first child of `parent` after `childAfter` (0: from the first) of the class.
HWND FindWindowExA(HWND parent, HWND childAfter, const char* className, const char* windowName);

}  // namespace platform
