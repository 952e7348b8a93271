#include "platform/current_desktop.h"

#include <cctype>
#include <cstdlib>

namespace platform {
namespace {

bool DesktopIs(const std::string& desktops, const char* name) {
  std::string wanted = name;
  std::size_t at = 0;
  while (at <= desktops.size()) {
    std::size_t end = desktops.find(':', at);
    if (end == std::string::npos) end = desktops.size();
    std::string one = desktops.substr(at, end - at);
    for (auto& c : one) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (one == wanted) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

Desktop DesktopNamed(const std::string& desktops) {
  if (DesktopIs(desktops, "CINNAMON") || DesktopIs(desktops, "X-CINNAMON")) return Desktop::Cinnamon;
  if (DesktopIs(desktops, "GNOME") || DesktopIs(desktops, "UNITY") || DesktopIs(desktops, "BUDGIE"))
    return Desktop::Gnome;
  if (DesktopIs(desktops, "MATE")) return Desktop::Mate;
  if (DesktopIs(desktops, "XFCE")) return Desktop::Xfce;
  if (DesktopIs(desktops, "KDE")) return Desktop::Kde;
  return Desktop::Other;
}

Desktop CurrentDesktop() {
  const char* env = std::getenv("XDG_CURRENT_DESKTOP");
  return DesktopNamed(env ? env : "");
}

}  // namespace platform
