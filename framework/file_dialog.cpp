#include "framework/file_dialog.h"

#include <QFileDialog>

#include "framework/dialog_window.h"

namespace {
FileDialogAnswer& Answer() {
  static FileDialogAnswer answer;
  return answer;
}
}  // namespace

void SetFileDialogAnswer(FileDialogAnswer answer) { Answer() = std::move(answer); }

QStringList QtNameFilters(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    out << parts[i] + " (" + parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ') + ")";
  if (out.isEmpty()) out << filter;
  return out;
}

QString RunFileDialog(FileDialogKind kind, const QString& objectName, const QString& filter, int& filterIndex) {
  if (Answer()) return Answer()(kind, filter, filterIndex);
  // a dialog of the window that opens it, resizable like any file dialog
  QFileDialog dialog(ActiveOwner(), kDialogWindowFlags | Qt::WindowMaximizeButtonHint);
  dialog.setObjectName(objectName);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(kind == FileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(kind == FileDialogKind::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters = QtNameFilters(filter);
  dialog.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
  if (RunModal(dialog, dialog.parentWidget()) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return dialog.selectedFiles().front();
}
