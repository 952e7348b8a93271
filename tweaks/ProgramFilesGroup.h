// "Defaultní složka pro instalaci programů" on the "Systém" page.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

class ProgramFilesGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit ProgramFilesGroup(QWidget* page);

  QLineEdit* Edit1;
  QProgressBar* progres1;
  QPushButton* sButton21;  // "Informace o funkci"
  QPushButton* sButton22;  // "Potvrdit"

  void RbButton23Click();
  void RbButton24Click();
};
