// The picture open dialog: the platform's file-open dialog with a preview
// of the selected picture. Filters are given in the original framework's
// form, "Description|*.a;*.b;".
#pragma once

#include <QString>
#include <functional>

// The confirmed file's full path, or an empty text when the user cancels.
// Tests replace the dialog with an answer of their own.
QString RunPictureOpenDialog(const QString& objectName, const QString& filter);
using PictureDialogAnswer = std::function<QString(const QString& objectName, const QString& filter)>;
void SetPictureDialogAnswer(PictureDialogAnswer answer);
