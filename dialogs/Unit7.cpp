#include "dialogs/Unit7.h"

#include "dialogs/Unit6.h"
#include "dialogs/folder_lock_script.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/message_box.h"
#include "framework/widgets.h"

TFormzh::TFormzh(QWidget* owner, TFormnh& newPassword)
    : TForm(owner, QStringLiteral("Formzh"), QStringLiteral("Zadat heslo")), newPassword_(newPassword) {
  setFixedSize(252, 85);
}

void TFormzh::CreateControls() {
  sLabel2 = MakeLabel(this, "sLabel2", "Zadejte heslo pro přístup:", {8, 6, 236, 16});
  Edit1 = MakeEdit(this, "Edit1", "", {8, 25, 236, 21});
  sButton2 = MakeButton(this, "sButton2", "OK", {8, 55, 66, 24});
  sButton1 = MakeButton(this, "sButton1", "Cancel", {80, 55, 66, 24});
  sButton3 = MakeButton(this, "sButton3", "Změnit heslo", {152, 55, 92, 24});
  sButton2->setDefault(true);
  Bind(sButton2, &QPushButton::clicked, this, &TFormzh::RbButton10Click);
  Bind(sButton1, &QPushButton::clicked, this, &TFormzh::RbButton1Click);
  Bind(sButton3, &QPushButton::clicked, this, &TFormzh::RbButton2Click);
}

void TFormzh::RbButton10Click() {
  if (Edit1->text().toStdString() != TIniFile(kSettingsFile).ReadString(kPasswordSection, "heslo", "")) {
    ShowMessage(QStringLiteral("Zadali jste špatné heslo, prosím zkontrolujte ho."));
    return;
  }
  OpenFolderLockScript();
  close();
  Edit1->clear();
}

void TFormzh::RbButton1Click() { close(); }

void TFormzh::RbButton2Click() {
  newPassword_.ShowModal(this);
  close();
}
