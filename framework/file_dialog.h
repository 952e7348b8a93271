// The file-open and file-save dialogs with the original framework's filters,
// "Description|*.a;*.b|Other|*.*", and a 1-based filter index. The save
// dialog asks before overwriting; both want a path that exists.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

enum class FileDialogKind { Open, Save };

// The chosen file's full path, or an empty text when the user cancels;
// `filterIndex` is the filter shown first and, after the dialog, the one the
// user ended with.
QString RunFileDialog(FileDialogKind kind, const QString& objectName, const QString& filter, int& filterIndex);

// Tests answer the dialog themselves.
using FileDialogAnswer = std::function<QString(FileDialogKind kind, const QString& filter, int& filterIndex)>;
void SetFileDialogAnswer(FileDialogAnswer answer);

// "Description|*.a;*.b|..." as Qt's name filters, "Description (*.a *.b)".
QStringList QtNameFilters(const QString& filter);
