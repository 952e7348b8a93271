// "Doplňky programu" on the "Další nastavení a doplňky" page: the openers of
// the add-on windows.
#pragma once

#include <QGroupBox>
#include <QPushButton>

class AddOnsGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit AddOnsGroup(QWidget* page);

  QPushButton* sButton9;   // "Extraktování čehokoli z programů - Resource Extractor"
  QPushButton* sButton8;   // "Nasilné ukončování programů - Process Killer"
  QPushButton* sButton25;  // "Vytvoření virtuálních disků - Dazozor Evuva Revivod"
  QPushButton* sButton6;   // "Windows 9x - Systémová konfigurace"
  QPushButton* sButton7;   // "Zablokování libovolné složky - Vovuv Izar"
  QPushButton* sButton18;  // "Databáze Tipů a Triků pro systémy Windows"

  void Button21Click();
  void Button22Click();
  // The companion programs, by command lines relative to the current folder.
  void Button20Click();
  void RbSpeedButton25Click();
  // The folder lock: a warning, then the password dialogs.
  void RbButton25Click();
  void sButton18Click();
};
