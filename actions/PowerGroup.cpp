#include "actions/PowerGroup.h"

#include "actions/power_actions.h"
#include "actions/recycle_bin.h"
#include "framework/handler_guard.h"
#include "framework/widgets.h"

PowerGroup::PowerGroup(QWidget* page) : QGroupBox(QStringLiteral("Ovládání systému"), page) {
  setObjectName(title());
  setGeometry(4, 2, 208, 128);
  sButton4 = MakeButton(this, "sButton4", "Odhlásit uživatele", {8, 18, 192, 24});
  sButton3 = MakeButton(this, "sButton3", "Restartovat počítač", {8, 44, 192, 24});
  sButton2 = MakeButton(this, "sButton2", "Vypnout počítač", {8, 70, 192, 24});
  sButton1 = MakeButton(this, "sButton1", "Vysypat Koš", {8, 96, 192, 24});
  Bind(sButton1, &QPushButton::clicked, this, &PowerGroup::Button1Click);
  Bind(sButton4, &QPushButton::clicked, this, &PowerGroup::Button4Click);
  Bind(sButton3, &QPushButton::clicked, this, &PowerGroup::Button3Click);
  Bind(sButton2, &QPushButton::clicked, this, &PowerGroup::Button2Click);
}

void PowerGroup::Button1Click() { EmptyRecycleBin(); }
void PowerGroup::Button2Click() { EndWindows(EWX_SHUTDOWN); }
void PowerGroup::Button3Click() { EndWindows(EWX_REBOOT); }
void PowerGroup::Button4Click() { EndWindows(EWX_LOGOFF); }
