#include "framework/application.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Application {
namespace {
QString& TitleText() {
  static QString title;
  return title;
}
}  // namespace

void SetTitle(const QString& title) {
  TitleText() = title;
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) app->setApplicationName(title);
}

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
