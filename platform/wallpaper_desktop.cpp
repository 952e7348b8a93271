#include "platform/wallpaper_desktop.h"

#include <filesystem>
#include <string>
#include <vector>

#include "platform/current_desktop.h"
#include "platform/file_uri.h"
#include "platform/spawn.h"

namespace platform {
namespace {

// a desktop tool that hangs must not hang the program with it
void Run(const std::vector<std::string>& command) { RunWithin(command, std::chrono::seconds(1)); }

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
    std::string uri = FileUri(picture);  // GNOME and KDE take an address, MATE and Xfce a path
    const char* gnome = placement == WallpaperPlacement::Tiled       ? "wallpaper"
                        : placement == WallpaperPlacement::Stretched ? "stretched"
                                                                     : "centered";
    if (desktop == Desktop::Gnome || desktop == Desktop::Cinnamon) {
      const char* schema =
          desktop == Desktop::Cinnamon ? "org.cinnamon.desktop.background" : "org.gnome.desktop.background";
      Run({"gsettings", "set", schema, "picture-uri", uri});
      Run({"gsettings", "set", schema, "picture-uri-dark", uri});
      Run({"gsettings", "set", schema, "picture-options", gnome});
    } else if (desktop == Desktop::Mate) {
      Run({"gsettings", "set", "org.mate.background", "picture-filename", picture});
      Run({"gsettings", "set", "org.mate.background", "picture-options", gnome});
    } else if (desktop == Desktop::Xfce) {
      // 1 centred, 2 tiled, 3 stretched
      std::string style = placement == WallpaperPlacement::Tiled       ? "2"
                          : placement == WallpaperPlacement::Stretched ? "3"
                                                                       : "1";
      for (const char* monitor : {"monitor0", "monitorVirtual1", "monitorscreen"}) {
        std::string base = std::string("/backdrop/screen0/") + monitor + "/workspace0/";
        Run({"xfconf-query", "-c", "xfce4-desktop", "-p", base + "last-image", "-n", "-t", "string", "-s", picture});
        Run({"xfconf-query", "-c", "xfce4-desktop", "-p", base + "image-style", "-n", "-t", "int", "-s", style});
      }
    } else if (desktop == Desktop::Kde) {
      // FillMode: 1 scaled (stretched), 3 tiled, 6 centred
      std::string mode = placement == WallpaperPlacement::Tiled       ? "3"
                         : placement == WallpaperPlacement::Stretched ? "1"
                                                                      : "6";
      std::string script =
          "for (const d of desktops()) { d.wallpaperPlugin = 'org.kde.image';"
          " d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];"
          " d.writeConfig('Image', " +
          Quoted(uri) + "); d.writeConfig('FillMode', " + mode + "); }";
      Run({"qdbus", "org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript", script});
    }
  }
};

}  // namespace

std::unique_ptr<WallpaperBackend> MakeDesktopWallpaperBackend() { return std::make_unique<DesktopWallpaper>(); }

}  // namespace platform
