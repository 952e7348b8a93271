// Program start and end: the application title, the start-in-tray flag,
// the nine windows created in their order, the message loop.
#pragma once

#include <QIcon>

// Creates the nine windows in their order (the main window first, its
// FormCreate running before any other window exists).
void CreateForms();
// Destroys them, the last created first, as the program ends.
void DestroyForms();
// True when the settings file says to start hidden in the tray.
bool StartsInTray();

// Shows the main window as the start asks: not at all when it starts in
// the tray, but minimised where no tray shows the icon, so that the window
// can still be found.
void ShowMainWindowAtStart(bool inTray);

// Runs the whole program on an existing QApplication; returns its exit code.
// The windows get `windowIcon` once the main window is shown.
int RunProgram(const QIcon& windowIcon);
