#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QStyleFactory>

#include "app/program.h"
#include "app/app_icon.h"
#include "platform/hotkeys_x11.h"
#include "platform/keyboard_x11.h"
#include "platform/tray_qt.h"
#include "platform/wallpaper_desktop.h"
#include "platform/power_logind.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // The windows were laid out for an Arial-like 8-point face.
  QFont font(QStringLiteral("Liberation Sans"), 8);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
  QApplication::setWindowIcon(ApplicationIcon());
  platform::SetPowerBackend(platform::MakeLogindPowerBackend());
  platform::SetTrayBackend(platform::MakeQtTrayBackend(ApplicationIcon()));
  platform::SetWallpaperBackend(platform::MakeDesktopWallpaperBackend());
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
    platform::SetLockLights(platform::MakeX11LockLights(x11->display()));
    platform::SetHotkeyBackend(platform::MakeX11HotkeyBackend(x11->display(), x11->connection()));
  }
  return RunProgram();
}
