// "Defaultní složka pro instalaci programů" on the "Systém" page.
#pragma once

#include <QGroupBox>
#include <QLineEdit>

class ProgramFilesGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit ProgramFilesGroup(QWidget* page);

  QLineEdit* Edit1;
};
