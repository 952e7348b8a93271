#include "platform/desktop_params.h"

#include "platform/backend_slot.h"
#include "platform/registry.h"

namespace platform {
namespace {

class NoDesktop : public WallpaperBackend {
 public:
  void Apply(const std::string&, WallpaperPlacement) override {}
};

constexpr auto& Backend = SlotWithDefault<WallpaperBackend, NoDesktop>;

std::string Text(const RegKey& key, const char* name) {
  RegValue value;
  if (RegQueryValueExA(key, name, &value) != ERROR_SUCCESS || value.type != REG_SZ) return {};
  return value.data;
}

}  // namespace

std::unique_ptr<WallpaperBackend> SetWallpaperBackend(std::unique_ptr<WallpaperBackend> backend) {
  return Backend().Replace(std::move(backend));
}

BOOL SystemParametersInfoA(UINT action, UINT, void* pvParam, UINT) {
  if (action != SPI_SETDESKWALLPAPER) return FALSE_;
  std::string picture;
  WallpaperPlacement placement = WallpaperPlacement::Centred;
  try {
    RegKey key;
    if (RegOpenKeyExA(RootKey::CurrentUser, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return TRUE_;
    picture = pvParam != nullptr ? static_cast<const char*>(pvParam) : Text(key, "Wallpaper");
    std::string style = Text(key, "WallpaperStyle");
    if (Text(key, "TileWallpaper") == "1" || style == "1")
      placement = WallpaperPlacement::Tiled;
    else if (style == "2")
      placement = WallpaperPlacement::Stretched;
  } catch (const HiveError&) {
    return TRUE_;  // a damaged hive was reported by whoever wrote the values
  }
  Backend()->Apply(picture, placement);
  return TRUE_;
}

}  // namespace platform
