// Hotkeys through the XDG desktop portal's GlobalShortcuts interface, for
// Wayland sessions: one session, the registered combinations bound together
// as shortcuts "hotkey-<modifiers>-<key>" with their preferred triggers
// ("CTRL+w", "CTRL+F11"), presses arriving as the portal's Activated signal.
// The desktop may ask the user and may refuse; a refused shortcut simply
// never fires, as the program allows for hotkeys that cannot be had.
#pragma once

#include <memory>

#include "platform/hotkeys.h"

class QDBusConnection;

namespace platform {

// Nothing when no portal on `bus` offers global shortcuts.
std::unique_ptr<HotkeyBackend> MakePortalHotkeyBackend(const QDBusConnection& bus);

// The preferred trigger of a combination in the shortcuts notation.
std::string PortalTrigger(UINT modifiers, UINT virtualKey);

}  // namespace platform
