// The running desktop's own wallpaper setting, chosen by XDG_CURRENT_DESKTOP:
// GNOME and its kin through gsettings, MATE through its gsettings schema,
// Xfce through xfconf-query, KDE Plasma through the shell's script call.
// Only an existing picture with an absolute path is handed on; a desktop
// without such a way keeps its wallpaper. Tools are run directly, never
// through a shell, each given at most a second.
#pragma once

#include <memory>

#include "platform/desktop_params.h"

namespace platform {

std::unique_ptr<WallpaperBackend> MakeDesktopWallpaperBackend();

}  // namespace platform
