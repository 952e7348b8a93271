#include "dialogs/Unit6.h"

#include "dialogs/folder_lock_script.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/message_box.h"
#include "framework/widgets.h"

TFormnh::TFormnh(QWidget* owner) : TForm(owner, QStringLiteral("Formnh"), QStringLiteral("Nové heslo")) {
  setFixedSize(359, 81);
}

void TFormnh::CreateControls() {
  sLabel1 = MakeLabel(this, "sLabel1", "Prosím zadejte heslo, které si přejete mít na přístup do tohoto programu.",
                      {6, 4, 349, 16});
  ShrinkToFit(sLabel1);
  sLabel2 = MakeLabel(this, "sLabel2", "Stávající heslo:", {8, 26, 90, 16});
  Edit1 = MakeEdit(this, "Edit1", "", {100, 24, 165, 21});
  sLabel3 = MakeLabel(this, "sLabel3", "Nové heslo:", {8, 53, 90, 16});
  Edit2 = MakeEdit(this, "Edit2", "", {100, 51, 165, 21});
  sButton1 = MakeButton(this, "sButton1", "OK", {276, 24, 75, 22});
  sButton2 = MakeButton(this, "sButton2", "Cancel", {276, 51, 75, 22});
  sButton1->setDefault(true);
  Bind(sButton1, &QPushButton::clicked, this, &TFormnh::RbButton2Click);
  Bind(sButton2, &QPushButton::clicked, this, &TFormnh::RbButton1Click);
}

void TFormnh::RbButton2Click() {
  TIniFile ini(kSettingsFile);
  if (ini.ReadString(kPasswordSection, "heslo", "") != Edit1->text().toStdString()) {
    ShowMessage(QStringLiteral("Zadali jste špatné stávající heslo"));
    return;
  }
  ini.WriteString(kPasswordSection, "heslo", Edit2->text().toStdString());
  ini.WriteString(kPasswordSection, "hesloje", "1");
  OpenFolderLockScript();
  Edit1->clear();
  Edit2->clear();
  close();
}

void TFormnh::RbButton1Click() { close(); }
