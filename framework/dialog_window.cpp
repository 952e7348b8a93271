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
    QWidget* top = owner->window();
    top->winId();
    // GNOME keeps the dialogs of a minimised window hidden with it, and a
    // Wayland program can neither bring its own window back nor learn that
    // it was minimised: the dialog of a minimised owner, or there of one not
    // in front (a tray item or a global key opened it), stands alone
    bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (!top->isMinimized() && !(wayland && !top->isActiveWindow())) ownerWindow = top->windowHandle();
  }
  dialog.winId();
  dialog.windowHandle()->setTransientParent(ownerWindow);
  return dialog.exec();
}
