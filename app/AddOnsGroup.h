// "Doplňky programu" on the "Další nastavení a doplňky" page: the openers of
// the add-on windows.
#pragma once

#include <QGroupBox>
#include <QPushButton>

class AddOnsGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit AddOnsGroup(QWidget* page);

  QPushButton* sButton8;  // "Nasilné ukončování programů - Process Killer"

  void Button22Click();
};
