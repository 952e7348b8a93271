#include "platform/wallpaper_desktop.h"

#include <filesystem>
#include <string>

#include "platform/current_desktop.h"
#include "platform/spawn.h"

namespace platform {
namespace {

std::string Quoted(const std::string& text) {  // a JavaScript string literal
  std::string out = "'";
  for (char c : text) {
    if (c == '\\' || c == '\'') out += '\\';
    out += c;
  }
  return out + "'";
}

class DesktopWallpaper : public WallpaperBackend {
 public:
  void Apply(const std::string& picture, WallpaperPlacement placement) override {
    if (picture.empty() || picture[0] != '/' || !std::filesystem::is_regular_file(picture)) return;
    Desktop desktop = CurrentDesktop();
    std::string uri = "file://" + picture;
    const char* gnome = placement == WallpaperPlacement::Tiled       ? "wallpaper"
                        : placement == WallpaperPlacement::Stretched ? "stretched"
                                                                     : "centered";
    if (desktop == Desktop::Gnome || desktop == Desktop::Cinnamon) {
      const char* schema = desktop == Desktop::Cinnamon ? "org.cinnamon.desktop.background"
                                                        : "org.gnome.desktop.background";
      RunAndWait({"gsettings", "set", schema, "picture-uri", uri});
      RunAndWait({"gsettings", "set", schema, "picture-uri-dark", uri});
      RunAndWait({"gsettings", "set", schema, "picture-options", gnome});
    } else if (desktop == Desktop::Mate) {
      RunAndWait({"gsettings", "set", "org.mate.background", "picture-filename", picture});
      RunAndWait({"gsettings", "set", "org.mate.background", "picture-options", gnome});
    } else if (desktop == Desktop::Xfce) {
      // 1 centred, 2 tiled, 3 stretched
      std::string style = placement == WallpaperPlacement::Tiled ? "2"
                          : placement == WallpaperPlacement::Stretched ? "3" : "1";
      for (const char* monitor : {"monitor0", "monitorVirtual1", "monitorscreen"}) {
        std::string base = std::string("/backdrop/screen0/") + monitor + "/workspace0/";
        RunAndWait({"xfconf-query", "-c", "xfce4-desktop", "-p", base + "last-image", "-n", "-t", "string", "-s", picture});
        RunAndWait({"xfconf-query", "-c", "xfce4-desktop", "-p", base + "image-style", "-n", "-t", "int", "-s", style});
      }
    } else if (desktop == Desktop::Kde) {
      // FillMode: 1 scaled (stretched), 3 tiled, 6 centred
      std::string mode = placement == WallpaperPlacement::Tiled ? "3"
                         : placement == WallpaperPlacement::Stretched ? "1" : "6";
      std::string script =
          "for (const d of desktops()) { d.wallpaperPlugin = 'org.kde.image';"
          " d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];"
          " d.writeConfig('Image', " + Quoted(uri) + "); d.writeConfig('FillMode', " + mode + "); }";
      RunAndWait({"qdbus", "org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript", script});
    }
  }
};

}  // namespace

std::unique_ptr<WallpaperBackend> MakeDesktopWallpaperBackend() { return std::make_unique<DesktopWallpaper>(); }

}  // namespace platform
