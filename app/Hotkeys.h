// The seven global Ctrl+key hotkeys of the main window: registered once at
// creation from the key names of the settings file, dispatched by id,
// unregistered as the window goes.
#pragma once

#include <array>
#include <string>

#include "platform/window_messages.h"

class TForm1;

class THotkeys {
 public:
  explicit THotkeys(TForm1& form) : form_(form) {}

  // Ids 1 to 7 from the names p1 to p7; a name that is no key name, or a
  // combination taken already, leaves its id without a hotkey.
  void Register(platform::HWND window, const std::array<std::string, 7>& names);
  void Unregister(platform::HWND window);
  // `combination` is WM_HOTKEY's lParam: the key in the high word, the
  // modifiers in the low one.
  void HotKeyMessage(platform::WPARAM id, platform::LPARAM combination);

 private:
  // Shut down, restart and the trash, asked for by a key that may have
  // been meant for another program, happen only after "Ano".
  bool Confirmed(const char* question);

  TForm1& form_;
  bool asking_ = false;
};
