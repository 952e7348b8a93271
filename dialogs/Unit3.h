// "Nastavení programu": start-up options and the choice of skin.
#pragma once

#include <QCheckBox>
#include <QPushButton>

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
  QPushButton* sButton1;  // "OK"

  void FormCreate();
  void Button1Click();

 private:
  TSkinManager& skins_;
};
