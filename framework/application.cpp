#include "framework/application.h"

#include <QGuiApplication>

namespace Application {
namespace {
QString& TitleText() {
  static QString title;
  return title;
}
}  // namespace

void SetTitle(const QString& title) {
  TitleText() = title;
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    app->setApplicationName(title);
}

QString Title() { return TitleText(); }

}  // namespace Application
