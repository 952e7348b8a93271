#include "framework/message_box.h"

#include <QMessageBox>

#include "framework/application.h"

namespace {

void RealBox(BoxKind kind, const QString& caption, const QString& text) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  if (kind == BoxKind::Information) icon = QMessageBox::Information;
  if (kind == BoxKind::Warning) icon = QMessageBox::Warning;
  if (kind == BoxKind::Error) icon = QMessageBox::Critical;
  QMessageBox box(icon, caption, text, QMessageBox::Ok);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.exec();
}

BoxPresenter& Presenter() {
  static BoxPresenter presenter = RealBox;
  return presenter;
}

}  // namespace

void ShowBox(BoxKind kind, const QString& text) {
  QString caption = Application::Title();
  if (kind == BoxKind::Information) caption = QStringLiteral("Information");
  if (kind == BoxKind::Warning) caption = QStringLiteral("Warning");
  Presenter()(kind, caption, text);
}

BoxPresenter SetBoxPresenter(BoxPresenter presenter) {
  BoxPresenter old = Presenter();
  Presenter() = presenter ? std::move(presenter) : BoxPresenter(RealBox);
  return old;
}
