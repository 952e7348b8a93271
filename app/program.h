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

// Runs the whole program on an existing QApplication; returns its exit code.
// The windows get `windowIcon` once the main window is shown.
int RunProgram(const QIcon& windowIcon);
