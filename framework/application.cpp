#include "framework/application.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Application {
namespace {
QString& TitleText() {
  static QString title;
  return title;
}
}  // namespace

// The title is the message boxes' caption only: the application's name
// stays the program's, since the desktop matches windows to the menu entry
// by it (the X11 window class, the Wayland app id), and a version in it
// would break that with every release.
void SetTitle(const QString& title) { TitleText() = title; }

QString Title() { return TitleText(); }

void LoadToolkitTranslation() {
  static bool tried = false;
  if (tried || QCoreApplication::instance() == nullptr) return;
  tried = true;
  // owned by the application, so it lives as long as the texts it gives
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
}

}  // namespace Application
