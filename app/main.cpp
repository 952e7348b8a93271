#include <QApplication>
#include <QDBusConnection>
#include <QFont>
#include <QGuiApplication>

#include "app/command_line.h"
#include "app/program.h"
#include "framework/program_style.h"
#include "app/app_icon.h"
#include "framework/ini_file.h"
#include "framework/window_frame.h"
#include "platform/desktop_tools.h"
#include "platform/disk_manager_udisks.h"
#include "platform/font_config_warmup.h"
#include "platform/hotkeys_portal.h"
#include "platform/hotkeys_x11.h"
#include "platform/keyboard_x11.h"
#include "platform/tray_qt.h"
#include "platform/wallpaper_desktop.h"
#include "platform/power_logind.h"
#include "platform/screen_saver_x11.h"
#include "platform/session_bus_warmup.h"
#include "platform/wayland_frames.h"

int main(int argc, char** argv) {
  if (int status = AnswerCommandLine(argc, argv); status >= 0) return status;
  // the font configuration loads on a second core while the toolkit starts
  platform::FontConfigWarmup fonts;
  QApplication app(argc, argv);
  // After the application object: the first thread to touch Qt becomes its
  // main thread.
  platform::SessionBusWarmup bus;
  QApplication::setStyle(new ProgramStyle);
  // The windows were laid out for an Arial-like 8-point face.
  QFont font(QStringLiteral("Liberation Sans"), 8);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
  fonts.Wait();
  // GNOME and weston leave the frames to the program, and Qt's frame would
  // offer a maximise button on every fixed-size window
  SetOwnWindowFrames(QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
                     !qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION") &&
                     !platform::CompositorDrawsFrames());
  QIcon icon = ApplicationIcon();  // for the windows and the tray
  platform::SetPowerBackend(platform::MakeLogindPowerBackend());
  platform::SetTrayBackend(platform::MakeQtTrayBackend(icon));
  platform::SetWallpaperBackend(platform::MakeDesktopWallpaperBackend());
  platform::SetDesktopSettingsBackend(platform::MakeDesktopToolsBackend(kSettingsFile));
  platform::SetDiskManager(platform::MakeUdisksDiskManager());
  // a platform may offer the X11 interface without a connection (offscreen)
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 != nullptr && (x11->display() == nullptr || x11->connection() == nullptr)) x11 = nullptr;
  if (x11 != nullptr) {
    platform::SetLockLights(platform::MakeX11LockLights(x11->display()));
    platform::SetScreenSaverTimer(platform::MakeX11ScreenSaverTimer(x11->display()));
  }
  // In a Wayland session X11 grabs (through XWayland) would see only keys
  // pressed in X11 windows: the desktop portal's global shortcuts serve
  // there, and where the desktop has none the hotkey dialog says so.
  bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
                 qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
  std::unique_ptr<platform::HotkeyBackend> keys;
  if (wayland) keys = platform::MakePortalHotkeyBackend(QDBusConnection::sessionBus());
  if (!wayland && x11 != nullptr) keys = platform::MakeX11HotkeyBackend(x11->connection());
  if (keys) platform::SetHotkeyBackend(std::move(keys));
  return RunProgram(icon);
}
