// "Nastavení programu": start-up options and the choice of skin.
#pragma once

#include <QCheckBox>

#include "framework/edit_combo.h"
#include "framework/form.h"

class TSkinManager;

class TForm3 : public TForm {
  Q_OBJECT
 public:
  TForm3(QWidget* owner, TSkinManager& skins);

  QCheckBox* SpoustetIkonka;
  QCheckBox* SpoustetPriStartu;
  QCheckBox* Blikanicko;
  TEditCombo* ComboBox1;

  void FormCreate();

 private:
  TSkinManager& skins_;
};
