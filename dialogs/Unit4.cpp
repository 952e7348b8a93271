#include "dialogs/Unit4.h"

#include <QGroupBox>

#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/widgets.h"
#include "platform/hotkeys.h"
#include "platform/key_names.h"

TForm4::TForm4(QWidget* owner)
    : TForm(owner, QStringLiteral("Form4"), QStringLiteral("Nastavení klávesových zkratek")) {
  setFixedSize(314, 257);
}

void TForm4::CreateControls() {
  QGroupBox* group = MakeGroup(this, "Zkratky", {6, 4, 302, 214});
  static const char* const kLabels[7] = {
      "Ukázat okno programu :", "Spustit process killera:", "Otevřít CD-ROM:",     "Zavřít CD-ROM:",
      "Vysypat koš:",           "Vypnout počítač:",         "Restartovat počítač:"};
  std::vector<std::string> names;
  for (const KeyName& key : KeyNameTable()) names.emplace_back(key.name);
  for (int i = 0; i < 7; ++i) {
    int y = 20 + i * 27;
    MakeLabel(group, QString("sLabel%1").arg(i + 1), QString::fromUtf8(kLabels[i]), {8, y + 3, 140, 18});
    MakeLabel(group, QString("sLabelCtrl%1").arg(i + 1), "Ctrl       +", {150, y + 3, 70, 18});
    auto* box = new TEditCombo(group, QString("v%1").arg(i + 1), kHotkeyDefaults[i]);
    box->setGeometry(222, y, 70, 22);
    box->SetItems(names);
    v[static_cast<std::size_t>(i)] = box;
  }
  ZadneZkratky =
      MakeLabel(this, "ZadneZkratky", "Toto prostředí nenabízí globální klávesové zkratky.", {8, 222, 298, 18});
  sButton1 = MakeButton(this, "sButton1", "OK", {119, 225, 75, 25});
  Bind(sButton1, &QPushButton::clicked, this, &TForm4::Button1Click);
}

void TForm4::FormShow() {
  // a portal may have come since the last showing
  bool none = !platform::GlobalHotkeysOffered();
  ZadneZkratky->setVisible(none);
  // the button goes below the line, or up in its place; placed from the
  // line, which a title bar of the program's own may have moved down
  int top = ZadneZkratky->y();
  sButton1->move(sButton1->x(), none ? top + 23 : top + 3);
  setFixedSize(width(), sButton1->geometry().bottom() + 8);
  TIniFile ini(kSettingsFile);
  for (std::size_t i = 0; i < v.size(); ++i)
    v[i]->SetText(QString::fromStdString(ini.ReadString("zkratky", "p" + std::to_string(i + 1), kHotkeyDefaults[i])));
}

void TForm4::Button1Click() {
  TIniFile ini(kSettingsFile);
  for (std::size_t i = 0; i < v.size(); ++i)
    ini.WriteString("zkratky", "p" + std::to_string(i + 1), v[i]->Text().toStdString());
  close();
}
