#include "tweaks/PoliciesGroup.h"

#include "framework/handler_guard.h"
#include "framework/message_box.h"
#include "framework/registry_access.h"
#include "framework/widgets.h"
#include "platform/desktop_settings.h"
#include "platform/drives.h"

namespace {

constexpr const char* kPolicyKey = "\\software\\Microsoft\\windows\\CurrentVersion\\Policies\\Explorer";

// One accessor a value, as each value is opened, used and closed on its own.
void SetPolicy(const char* name, bool on) {
  TRegistry reg(platform::RootKey::CurrentUser);
  reg.OpenKey(kPolicyKey, true);
  if (on)
    reg.WriteInteger(name, 1);
  else
    reg.DeleteValue(name);
  reg.CloseKey();
}

}  // namespace

PoliciesGroup::PoliciesGroup(QWidget* page) : QGroupBox(QStringLiteral("Nastavení zabezpečení"), page) {
  setObjectName(title());
  setGeometry(216, 2, 213, 208);
  IkonyPlocha = MakeCheckBox(this, "IkonyPlocha", "Skrýt ikony na ploše", {6, 16, 204, 18});
  NastaveniSystemu = MakeCheckBox(this, "NastaveniSystemu", "Zakázat nastavení počítače", {6, 34, 204, 18});
  NastaveniListy = MakeCheckBox(this, "NastaveniListy", "Zakázat nastavení lišty", {6, 52, 204, 18});
  SpustitStart = MakeCheckBox(this, "SpustitStart", "Skrýt volbu Spustit v nabídce start", {6, 70, 204, 18});
  NajitStart = MakeCheckBox(this, "NajitStart", "Skrýt volbu Najít v nabídce start", {6, 88, 204, 18});
  PristupDisk = MakeCheckBox(this, "PristupDisk", "Zakázat přístup na jednotku:", {6, 108, 204, 18});
  Disky = new TEditCombo(this, "Disky", "A:");
  Disky->setGeometry(24, 128, 60, 22);
  Disky->SetItems({"A:", "B:", "C:", "D:", "E:", "F:", "G:"});
  sButton20 = MakeButton(this, "sButton20", "Potvrdit", {6, 156, 200, 24});
  Progres = new QProgressBar(this);
  Progres->setObjectName(QStringLiteral("Progres"));
  Progres->setGeometry(6, 184, 200, 18);
  Progres->setRange(0, 100);
  Progres->setValue(0);
  Progres->setTextVisible(true);
  Progres->hide();
  Bind(sButton20, &QPushButton::clicked, this, &PoliciesGroup::Button13Click);
}

void PoliciesGroup::Button13Click() {
  Progres->show();
  const std::pair<QCheckBox*, const char*> boxes[] = {{IkonyPlocha, "NoDesktop"},
                                                      {NastaveniSystemu, "NoSetFolders"},
                                                      {NastaveniListy, "NoSetTaskbar"},
                                                      {SpustitStart, "NoRun"},
                                                      {NajitStart, "NoFind"}};
  int position = 0;
  for (const auto& [box, name] : boxes) {
    // the removal of "NoSetTaskbar" has always been spelt with a capital B
    bool isTaskbar = box == NastaveniListy;
    SetPolicy(box->isChecked() || !isTaskbar ? name : "NoSetTaskBar", box->isChecked());
    if (box == IkonyPlocha) platform::DesktopSettings().DesktopIconsHidden(box->isChecked());
    if (box == SpustitStart) platform::DesktopSettings().RunCommandHidden(box->isChecked());
    Progres->setValue(position += 17);
  }
  if (PristupDisk->isChecked()) {
    for (char letter = 'A'; letter <= 'N'; ++letter) {
      if (Disky->Text() != QString(QChar(letter)) + ':') continue;
      TRegistry reg(platform::RootKey::CurrentUser);
      reg.OpenKey(kPolicyKey, true);
      reg.WriteInteger("NoDrives", 1 << (letter - 'A'));
      reg.CloseKey();
      Progres->setValue(100);
    }
  } else {
    SetPolicy("NoDrives", false);
    Progres->setValue(100);
  }
  ShowBox(BoxKind::Information,
          QStringLiteral("Vaše nastavení bylo úspěšně provedeno. Změny se projeví až po restartu systému!"));
  Progres->hide();
}

void PoliciesGroup::FillDriveList() {
  Disky->SetItems(platform::DriveNamesWhere('A', 'N', [](UINT type) { return type != DRIVE_NO_ROOT_DIR; }));
}
