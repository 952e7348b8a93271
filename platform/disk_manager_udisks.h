// The disk manager of Linux desktops, udisks2 (org.freedesktop.UDisks2), on
// the system bus: the block device whose Device is the drive's device, the
// mounted file systems on it and on its partitions unmounted
// (Filesystem.Unmount), then its drive ejected (Drive.Eject). The user is
// never asked for a password. The calls are made without waiting: the
// window goes on answering while the manager flushes a disc or moves a
// tray, and every call has a time limit, after which the kernel is asked.
#pragma once

#include <QDBusConnection>
#include <memory>

#include "platform/disk_manager.h"

namespace platform {

// `bus` gives the connection at each eject, so the program connects only
// when a door opens; the system bus follows DBUS_SYSTEM_BUS_ADDRESS.
std::unique_ptr<DiskManager> MakeUdisksDiskManager(QDBusConnection (*bus)() = &QDBusConnection::systemBus);

}  // namespace platform
