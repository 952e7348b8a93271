#include "platform/desktop_settings.h"

#include "platform/backend_slot.h"

namespace platform {
namespace {

class NoDesktop : public DesktopSettingsBackend {
 public:
  void ScreenSaverDelay(int) override {}
  void WindowContentsWhileDragging(bool) override {}
  void DesktopIconsHidden(bool) override {}
  void RunCommandHidden(bool) override {}
};

class NoServer : public ScreenSaverTimer {
 public:
  void SetTimeout(int) override {}
};

constexpr auto& Settings = SlotWithDefault<DesktopSettingsBackend, NoDesktop>;

constexpr auto& Timer = SlotWithDefault<ScreenSaverTimer, NoServer>;

}  // namespace

std::unique_ptr<DesktopSettingsBackend> SetDesktopSettingsBackend(std::unique_ptr<DesktopSettingsBackend> backend) {
  return Settings().Replace(std::move(backend));
}

std::unique_ptr<ScreenSaverTimer> SetScreenSaverTimer(std::unique_ptr<ScreenSaverTimer> timer) {
  return Timer().Replace(std::move(timer));
}

DesktopSettingsBackend& DesktopSettings() { return *Settings(); }
ScreenSaverTimer& ServerScreenSaver() { return *Timer(); }

}  // namespace platform
