// What makes a window a dialog to the window manager: an owner it is
// transient for, the dialog window type, and no minimise or maximise box of
// its own (minimising the owner takes it along). A dialog runs modally to its
// owner alone; an application-modal window would block the tray icon's
// window as well, and the icon must answer clicks while a dialog is open.
#pragma once

#include <QDialog>

inline constexpr Qt::WindowFlags kDialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// The window that opens a box or a file dialog: the modal window on top,
// else the active window; none while no window of the program is in front
// (a tray action with the main window hidden).
QWidget* ActiveOwner();

// Runs `dialog` modally to `owner` (none: to nothing) and returns its result.
int RunModal(QDialog& dialog, QWidget* owner);
