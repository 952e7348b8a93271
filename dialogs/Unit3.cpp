#include "dialogs/Unit3.h"

#include <QGroupBox>

#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/registry_access.h"
#include "framework/widgets.h"
#include "platform/paths.h"
#include "skin/SkinManager.h"

namespace {
constexpr const char* kRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
}  // namespace

TForm3::TForm3(QWidget* owner, TSkinManager& skins)
    : TForm(owner, QStringLiteral("Form3"), QStringLiteral("Nastavení programu")), skins_(skins) {
  setFixedSize(419, 126);
  QGroupBox* program = MakeGroup(this, "Nastavení programu", {4, 2, 220, 90});
  SpoustetIkonka = MakeCheckBox(program, "SpoustetIkonka", "Spouštět v TrayIkonce", {8, 18, 208, 20});
  SpoustetPriStartu = MakeCheckBox(program, "SpoustetPriStartu", "Spouštět po startu systému", {8, 40, 208, 20});
  Blikanicko = MakeCheckBox(program, "Blikanicko", "Spouštět funkci blikání po spuštění", {8, 62, 208, 20});
  QGroupBox* look = MakeGroup(this, "Nastavení vzhledu", {228, 2, 187, 90});
  MakeLabel(look, "Label1", "Nainstalované vzhledy:", {8, 18, 170, 18});
  ComboBox1 = new TEditCombo(look, "ComboBox1");
  ComboBox1->setGeometry(8, 40, 171, 24);
  sButton1 = MakeButton(this, "sButton1", "OK", {172, 97, 75, 25});
  Bind(sButton1, &QPushButton::clicked, this, &TForm3::Button1Click);
  Guard([this] { FormCreate(); });
}

void TForm3::Button1Click() {
  skins_.SetSkinName(ComboBox1->Text());
  TIniFile(kSettingsFile).WriteString("Nastaveni", "skin", ComboBox1->Text().toStdString());
  if (SpoustetIkonka->isChecked()) TIniFile(kSettingsFile).WriteString("Nastaveni", "spousteniVTray", "1");
  if (SpoustetPriStartu->isChecked()) {
    TRegistry reg(platform::RootKey::LocalMachine);
    reg.OpenKey(kRunKey, true);
    reg.WriteString("Kastlik", platform::LaunchPath());
    reg.CloseKey();
    TIniFile(kSettingsFile).WriteString("Nastaveni", "spousteniPoStartuSystemu", "1");
  }
  if (!SpoustetIkonka->isChecked()) TIniFile(kSettingsFile).WriteString("Nastaveni", "spousteniVTray", "0");
  if (!SpoustetPriStartu->isChecked()) {
    TRegistry reg(platform::RootKey::LocalMachine);
    reg.OpenKey(kRunKey, true);
    reg.DeleteValue("Kastlik");
    reg.CloseKey();
    TIniFile(kSettingsFile).WriteString("Nastaveni", "spousteniPoStartuSystemu", "0");
  }
  TIniFile(kSettingsFile).WriteString("Nastaveni", "BlikaniPriSpusteni", Blikanicko->isChecked() ? "1" : "0");
  close();
}

void TForm3::FormCreate() {
  QStringList names = skins_.SkinNames();
  ComboBox1->ClearItems();
  for (const auto& name : names) ComboBox1->AddItem(name);
  skins_.SetSkinName(names.front());

  TIniFile ini(kSettingsFile);
  std::string tray = ini.ReadString("Nastaveni", "SpousteniVTray", "0");
  std::string autorun = ini.ReadString("Nastaveni", "SpousteniPoStartuSystemu", "0");
  ComboBox1->SetText(QString::fromStdString(ini.ReadString("Nastaveni", "skin", "WindowsXP (default)")));
  std::string blink = ini.ReadString("Nastaveni", "BlikaniPriSpusteni", "0");
  SpoustetIkonka->setChecked(tray == "1");
  SpoustetPriStartu->setChecked(autorun == "1");
  Blikanicko->setChecked(blink == "1");
}
