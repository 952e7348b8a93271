// The application's title: the caption of plain and error boxes and the
// name the desktop shows for the program. And the language of the toolkit's
// own windows.
#pragma once

#include <QString>

namespace Application {

void SetTitle(const QString& title);
QString Title();

// The toolkit's own dialogs and buttons (the file dialogs' "Look in:",
// "Cancel", ...) speak Czech, as the rest of the program does: Qt's Czech
// translation, loaded on the first call. Without it they stay English.
void LoadToolkitTranslation();

}  // namespace Application
