#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QStyleFactory>

#include "app/program.h"
#include "platform/keyboard_x11.h"
#include "platform/power_logind.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // The windows were laid out for an Arial-like 8-point face.
  QFont font(QStringLiteral("Liberation Sans"), 8);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
  platform::SetPowerBackend(platform::MakeLogindPowerBackend());
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
    platform::SetLockLights(platform::MakeX11LockLights(x11->display()));
  return RunProgram();
}
