// Whether the Wayland compositor the program talks to draws the frames of
// its windows (KWin, wlroots) or leaves them to the program (GNOME, weston):
// it draws them when it offers the xdg-decoration protocol, which Qt then
// uses. Asked on a connection of its own, once at start.
#pragma once

namespace platform {

// False also when no Wayland compositor can be reached.
bool CompositorDrawsFrames();

}  // namespace platform
