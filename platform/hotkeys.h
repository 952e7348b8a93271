// RegisterHotKey and UnregisterHotKey: system-wide key combinations that
// send WM_HOTKEY (wParam = the id) to the window that registered them.
// A combination registered already, by any window of the program, is
// refused; so is one the desktop refuses (another program holds it). The
// desktop's keys are a backend (hotkeys_x11.h, or hotkeys_portal.h in a
// Wayland session, in the program); without one, nothing can be registered.
#pragma once

#include <functional>
#include <memory>

#include "platform/window_messages.h"

namespace platform {

constexpr UINT MOD_ALT = 1;
constexpr UINT MOD_CONTROL = 2;
constexpr UINT MOD_SHIFT = 4;
constexpr UINT MOD_WIN = 8;

class HotkeyBackend {
 public:
  virtual ~HotkeyBackend() = default;
  // Takes the combination; `pressed` is called each time it is pressed.
  virtual bool Grab(UINT modifiers, UINT virtualKey, std::function<void()> pressed) = 0;
  virtual void Release(UINT modifiers, UINT virtualKey) = 0;
  // False where the session offers no global keys at all (a Wayland desktop
  // without the shortcuts portal): grabs are then taken and never fire.
  virtual bool Offered() const { return true; }
};

std::unique_ptr<HotkeyBackend> SetHotkeyBackend(std::unique_ptr<HotkeyBackend> backend);

// Whether the desktop offers global keys to programs.
bool GlobalHotkeysOffered();

BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey);
BOOL UnregisterHotKey(HWND window, int id);

}  // namespace platform
