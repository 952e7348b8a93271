#include "framework/form.h"

#include "framework/handler_guard.h"

TForm::TForm(QWidget* owner, const QString& name, const QString& caption) : QDialog(owner) {
  setObjectName(name);
  setWindowTitle(caption);
  setAccessibleName(caption);
}

int TForm::ShowModal() {
  setModal(true);
  return exec();
}

void TForm::Open() {
  if (!Visible()) ShowModal();
}

void TForm::setVisible(bool visible) {
  if (visible && !controlsCreated_) {
    controlsCreated_ = true;
    CreateControls();
  }
  QDialog::setVisible(visible);
}

void TForm::showEvent(QShowEvent* event) {
  if (centreOver_ != nullptr) move(centreOver_->frameGeometry().center() - rect().center());
  QDialog::showEvent(event);
  Guard([this] { FormShow(); });
}
