#include "framework/form.h"

#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include "framework/dialog_window.h"
#include "framework/handler_guard.h"
#include "framework/window_frame.h"

TForm::TForm(QWidget* owner, const QString& name, const QString& caption) : QDialog(owner, kDialogWindowFlags) {
  setObjectName(name);
  setWindowTitle(caption);
  setAccessibleName(caption);
}

int TForm::ShowModal(QWidget* opener) {
  if (isVisible()) {
    raise();
    activateWindow();
    return Rejected;
  }
  return RunModal(*this, opener);
}

void TForm::Open() {
  if (!Visible()) ShowModal();
}

void TForm::EnsureControls() {
  if (controlsCreated_) return;
  controlsCreated_ = true;
  CreateControls();
}

void TForm::setVisible(bool visible) {
  if (visible) {
    EnsureControls();
    if (minimumSize() == maximumSize()) FrameFixedWindow(this);
  }
  QDialog::setVisible(visible);
}

void TForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    Place();  // not when the window manager restores it
    // Opened from the tray or by a global key the program is not the
    // active one, and a window manager may leave the keyboard where it was:
    // the window asks for it, so Esc, Enter and Tab work at once.
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) activateWindow();
    });
  }
  QDialog::showEvent(event);
  Guard([this] { FormShow(); });
}

// By the client area: the window manager's frame is known only after the
// first showing, so a frame position would land the first showing elsewhere
// than the later ones.
void TForm::Place() {
  QPoint centre;
  if (centreOver_ != nullptr)
    centre = centreOver_->geometry().center();
  else if (QScreen* desktop = screen())
    centre = desktop->availableGeometry().center();
  else
    return;
  setGeometry(QRect(centre - rect().center(), size()));
}

// A window minimised on its own would leave its owner blocked with nothing
// to click. A window manager minimises a dialog's owner along with it; where
// it did not (the owner was not on view when the dialog came up, so the
// window manager never learnt whose dialog it is), the window comes back.
// Looked at once the owner's own state has arrived.
void TForm::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
  QTimer::singleShot(0, this, [this] {
    QWindow* owner = windowHandle() != nullptr ? windowHandle()->transientParent() : nullptr;
    bool ownerWentAlong = owner != nullptr && owner->isVisible() && (owner->windowStates() & Qt::WindowMinimized);
    if (isVisible() && isMinimized() && !ownerWentAlong) setWindowState(windowState() & ~Qt::WindowMinimized);
  });
}
