// The desktop the session runs, from XDG_CURRENT_DESKTOP: a colon-separated
// list of names, matched without regard to case. Unity and Budgie keep
// GNOME's settings; Cinnamon calls itself "X-Cinnamon" too.
#pragma once

#include <string>

namespace platform {

enum class Desktop { Other, Gnome, Cinnamon, Mate, Xfce, Kde };

Desktop DesktopNamed(const std::string& xdgCurrentDesktop);
Desktop CurrentDesktop();

}  // namespace platform
