// The tweaks handed to the running desktop (XDG_CURRENT_DESKTOP) through its
// own settings tools, gsettings, xfconf-query and kwriteconfig5, each run
// directly and given at most a second; a tool that is missing, refuses or
// hangs changes nothing and says nothing.
//
//   screen-saver delay   GNOME, Cinnamon: <schema>.session idle-delay (s)
//                        MATE: org.mate.session idle-delay (min)
//                        KDE: kscreenlockerrc [Daemon] Timeout (min)
//   window contents      MATE: org.mate.Marco.general reduced-resources
//   while dragging       Xfce: xfwm4 /general/box_move (both inverse)
//   desktop icons        Cinnamon: org.nemo.desktop desktop-layout
//                        MATE: org.mate.background show-desktop-icons
//                        Xfce: xfce4-desktop /desktop-icons/style (0: none)
//   run command          GNOME, Cinnamon, MATE: <schema>.lockdown
//                        disable-command-line; KDE: kdeglobals
//                        [KDE Action Restrictions] run_command
//
// A restriction's previous value is kept in section "Plocha" of the given
// settings file, under the restriction's and the desktop's name, until the
// restriction is lifted and the value put back.
#pragma once

#include <memory>
#include <string>

#include "platform/desktop_settings.h"

namespace platform {

std::unique_ptr<DesktopSettingsBackend> MakeDesktopToolsBackend(std::string settingsFile);

}  // namespace platform
