// Hotkeys through the XDG desktop portal's GlobalShortcuts interface, for
// Wayland sessions: one session, the registered combinations bound together
// as shortcuts "hotkey-<modifiers>-<key>" with their preferred triggers
// ("CTRL+w", "CTRL+F11"), presses arriving as the portal's Activated signal.
// The desktop may ask the user and may refuse; a refused shortcut simply
// never fires, as the program allows for hotkeys that cannot be had.
#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>

#include "platform/hotkeys.h"

class QDBusConnection;
class QDBusArgument;

namespace platform {

// One shortcut as the portal's methods carry it, (sa{sv}).
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};
QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcut& shortcut);
// Makes the type known to D-Bus (done by MakePortalHotkeyBackend).
void RegisterPortalTypes();

// Nothing when no portal on `bus` offers global shortcuts.
std::unique_ptr<HotkeyBackend> MakePortalHotkeyBackend(const QDBusConnection& bus);

// The preferred trigger of a combination in the shortcuts notation.
std::string PortalTrigger(UINT modifiers, UINT virtualKey);

}  // namespace platform

Q_DECLARE_METATYPE(platform::PortalShortcut)
