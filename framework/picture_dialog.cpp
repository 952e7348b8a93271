#include "framework/picture_dialog.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTreeView>

#include "framework/dialog_window.h"
#include "framework/file_dialog.h"

namespace {

PictureDialogAnswer& Answer() {
  static PictureDialogAnswer answer;
  return answer;
}

// Qt sizes the list's columns for short texts and the preview beside it
// takes its room from the list, so sizes and types were cut ("JP…ge"): the
// columns take the width of what the folder shows, and the dialog grows
// (within the screen) until the list holds them.
void FitListColumns(QFileDialog& dialog) {
  auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (list == nullptr) return;
  int needed = 0;
  for (int column = 0; column < list->header()->count(); ++column) {
    if (list->isColumnHidden(column)) continue;
    list->resizeColumnToContents(column);
    needed += list->columnWidth(column);
  }
  int missing = needed - list->viewport()->width();
  if (missing <= 0) return;
  int room = dialog.screen()->availableGeometry().width() - (dialog.frameGeometry().width() - dialog.width());
  dialog.resize(std::min(dialog.width() + missing, room), dialog.height());
}

}  // namespace

void SetPictureDialogAnswer(PictureDialogAnswer answer) { Answer() = std::move(answer); }

QString RunPictureOpenDialog(const QString& objectName, const QString& filter) {
  if (Answer()) return Answer()(objectName, filter);
  // a dialog of the window that opens it, resizable like any file dialog
  QFileDialog dialog(ActiveOwner(), kDialogWindowFlags | Qt::WindowMaximizeButtonHint);
  dialog.setObjectName(objectName);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(QtNameFilters(filter));
  auto* preview = new QLabel(&dialog);
  preview->setObjectName(QStringLiteral("preview"));
  preview->setFixedSize(180, 180);
  preview->setAlignment(Qt::AlignCenter);
  preview->setFrameStyle(QFrame::StyledPanel);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
  QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
    QPixmap picture(path);
    preview->setPixmap(
        picture.isNull() ? QPixmap() : picture.scaled(preview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  });
  if (auto* files = dialog.findChild<QFileSystemModel*>())
    QObject::connect(files, &QFileSystemModel::directoryLoaded, &dialog, [&dialog] { FitListColumns(dialog); });
  if (RunModal(dialog, dialog.parentWidget()) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}
