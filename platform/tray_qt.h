// The desktop's tray through Qt's system tray icon (StatusNotifierItem or
// XEmbed, whichever the desktop offers). Where no tray exists yet (a desktop
// still starting), the icon appears as soon as one does.
#pragma once

#include <QIcon>
#include <memory>

#include "platform/tray.h"

namespace platform {

std::unique_ptr<TrayBackend> MakeQtTrayBackend(const QIcon& icon);

}  // namespace platform
