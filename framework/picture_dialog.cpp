#include "framework/picture_dialog.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

#include "framework/dialog_window.h"
#include "framework/file_dialog.h"

namespace {

PictureDialogAnswer& Answer() {
  static PictureDialogAnswer answer;
  return answer;
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
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
  QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
    QPixmap picture(path);
    preview->setPixmap(picture.isNull() ? QPixmap() : picture.scaled(preview->size(), Qt::KeepAspectRatio,
                                                                      Qt::SmoothTransformation));
  });
  if (RunModal(dialog, dialog.parentWidget()) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}
