// The running desktop's own settings behind the tweaks, handed over after
// the registry value is written: the desktop is a backend (desktop_tools.h
// and screen_saver_x11.h, installed by the program); without one the
// registry values are all there is. None of them ever fails.
#pragma once

#include <memory>

namespace platform {

class DesktopSettingsBackend {
 public:
  virtual ~DesktopSettingsBackend() = default;
  virtual void ScreenSaverDelay(int seconds) = 0;
  virtual void WindowContentsWhileDragging(bool shown) = 0;
  // Hiding remembers what the desktop had; showing again brings that back.
  virtual void DesktopIconsHidden(bool hidden) = 0;
  virtual void RunCommandHidden(bool hidden) = 0;
};

// The display server's own screen-saver timeout, apart from the desktop's.
class ScreenSaverTimer {
 public:
  virtual ~ScreenSaverTimer() = default;
  virtual void SetTimeout(int seconds) = 0;
};

std::unique_ptr<DesktopSettingsBackend> SetDesktopSettingsBackend(std::unique_ptr<DesktopSettingsBackend> backend);
std::unique_ptr<ScreenSaverTimer> SetScreenSaverTimer(std::unique_ptr<ScreenSaverTimer> timer);

DesktopSettingsBackend& DesktopSettings();
ScreenSaverTimer& ServerScreenSaver();

}  // namespace platform
