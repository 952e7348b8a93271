#include "framework/dialog_window.h"

#include <QApplication>
#include <QWindow>

QWidget* ActiveOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

int RunModal(QDialog& dialog, QWidget* owner) {
  dialog.setWindowModality(Qt::WindowModal);
  QWindow* ownerWindow = nullptr;
  if (owner != nullptr) {
    // an owner never shown yet (the program started in the tray) gets its
    // window now, so that the dialog is transient for it from the start
    owner->window()->winId();
    ownerWindow = owner->window()->windowHandle();
  }
  dialog.winId();
  dialog.windowHandle()->setTransientParent(ownerWindow);
  return dialog.exec();
}
