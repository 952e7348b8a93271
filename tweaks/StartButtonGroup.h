// "Tlačítko start" on the "Plocha, start a spořič" page.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>

class StartButtonGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit StartButtonGroup(QWidget* page);

  QLineEdit* CestaStart;
  QCheckBox* CBox;
};
