// Hotkeys through the XDG desktop portal's GlobalShortcuts interface, for
// Wayland sessions: one session, the registered combinations handed to it
// as shortcuts "hotkey-<modifiers>-<key>" with their preferred triggers
// ("CTRL+w", "CTRL+F11"), presses arriving as the portal's Activated signal.
//
// Portals differ in where they take shortcuts from: KDE's reads them only
// from CreateSession's "shortcuts" option and answers BindShortcuts by
// opening its settings; GNOME's wants BindShortcuts and asks the user once.
// So the shortcuts go into CreateSession, and BindShortcuts is called only
// for those ListShortcuts then does not show: a normal start opens nothing.
//
// A portal that is not there yet is started through D-Bus activation, and
// failing that watched for: one that comes later (a desktop starting its
// portal after the programs of the log-in) gets the shortcuts when it
// appears. The desktop may refuse; a refused shortcut simply never fires.
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

// Nothing when `bus` is not connected.
std::unique_ptr<HotkeyBackend> MakePortalHotkeyBackend(const QDBusConnection& bus);

// The preferred trigger of a combination in the shortcuts notation.
std::string PortalTrigger(UINT modifiers, UINT virtualKey);

}  // namespace platform

Q_DECLARE_METATYPE(platform::PortalShortcut)
