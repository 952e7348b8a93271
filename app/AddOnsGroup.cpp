#include "app/AddOnsGroup.h"

#include "app/forms.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit7.h"
#include "dialogs/Unit8.h"
#include "dialogs/folder_lock_script.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/message_box.h"
#include "framework/widgets.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "tweaks/win9x.h"
#include "prockill/Unit5.h"
#include "resx/RXMain.h"

AddOnsGroup::AddOnsGroup(QWidget* page) : QGroupBox(QStringLiteral("Doplňky programu"), page) {
  setObjectName(title());
  setGeometry(4, 2, 425, 226);
  sButton9 = MakeButton(this, "sButton9", "Extraktování čehokoli z programů - Resource Extractor", {8, 18, 409, 24});
  sButton8 = MakeButton(this, "sButton8", "Nasilné ukončování programů - Process Killer", {8, 46, 409, 24});
  sButton25 = MakeButton(this, "sButton25", "Vytvoření virtuálních disků - Dazozor Evuva Revivod", {8, 102, 409, 24});
  sButton6 = MakeButton(this, "sButton6", "Windows 9x - Systémová konfigurace", {8, 130, 409, 24});
  sButton7 = MakeButton(this, "sButton7", "Zablokování libovolné složky - Vovuv Izar", {8, 74, 409, 24});
  sButton18 = MakeButton(this, "sButton18", "Databáze Tipů a Triků pro systémy Windows", {8, 158, 409, 24});
  Bind(sButton9, &QPushButton::clicked, this, &AddOnsGroup::Button21Click);
  Bind(sButton8, &QPushButton::clicked, this, &AddOnsGroup::Button22Click);
  Bind(sButton25, &QPushButton::clicked, this, &AddOnsGroup::Button20Click);
  Bind(sButton6, &QPushButton::clicked, this, &AddOnsGroup::RbSpeedButton25Click);
  Bind(sButton7, &QPushButton::clicked, this, &AddOnsGroup::RbButton25Click);
  Bind(sButton18, &QPushButton::clicked, this, &AddOnsGroup::sButton18Click);
}

void AddOnsGroup::Button21Click() { KSRE->Open(); }

void AddOnsGroup::Button22Click() { Form5->Open(); }

void AddOnsGroup::Button20Click() { platform::WinExec("data/REDorevOraderu.exe", platform::SW_SHOW); }

void AddOnsGroup::RbSpeedButton25Click() {
  PlatformFamily family = CheckPlatformFamily();
  if (family == PlatformFamily::Win9x)
    platform::WinExec("data\\DURAROZURI.exe", platform::SW_SHOW);
  else if (family == PlatformFamily::Other)
    ShowWin9xOnlyWarning();
}

void AddOnsGroup::RbButton25Click() {
  QString warning = QStringLiteral(
                        "Pokud zablokujete následující složky osud těchto složek je spečetěn. Jsou to: Složka se "
                        "systémem(běžně C:\\windows), složka s tímto programem ve vašem případě je to ") +
                    QString::fromStdString(platform::ProgramFolder()) +
                    QStringLiteral(", a disk C:\\. Tyto složky vždy nechte být!!!");
  ShowBox(BoxKind::Warning, warning);
  if (TIniFile(kSettingsFile).ReadString(kPasswordSection, "hesloje", "0") == "0")
    Formnh->Open();
  else
    Formzh->Open();
}

void AddOnsGroup::sButton18Click() { Tipy->Open(); }
