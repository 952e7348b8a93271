// SystemParametersInfoA(SPI_SETDESKWALLPAPER): the desktop takes up the
// wallpaper that HKEY_CURRENT_USER\Control Panel\Desktop now names
// ("Wallpaper", "WallpaperStyle", "TileWallpaper"). The desktop is a backend
// (wallpaper_desktop.h in the program); without one the registry values are
// all there is. It never fails.
#pragma once

#include <memory>
#include <string>

#include "platform/win32.h"

namespace platform {

constexpr UINT SPI_SETDESKWALLPAPER = 20;
constexpr UINT SPIF_UPDATEINIFILE = 1;
constexpr UINT SPIF_SENDWININICHANGE = 2;

enum class WallpaperPlacement { Centred, Tiled, Stretched };

class WallpaperBackend {
 public:
  virtual ~WallpaperBackend() = default;
  virtual void Apply(const std::string& picture, WallpaperPlacement placement) = 0;
};

std::unique_ptr<WallpaperBackend> SetWallpaperBackend(std::unique_ptr<WallpaperBackend> backend);

BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* pvParam, UINT winIni);

}  // namespace platform
