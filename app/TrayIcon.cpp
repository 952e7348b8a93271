#include "app/TrayIcon.h"

#include <QCoreApplication>
#include <cstring>

#include "actions/CdDoorGroup.h"
#include "actions/power_actions.h"
#include "actions/recycle_bin.h"
#include "app/Unit1.h"
#include "app/forms.h"
#include "dialogs/Unit2.h"
#include "framework/handler_guard.h"
#include "platform/cursor.h"
#include "prockill/Unit5.h"

TTrayIcon::TTrayIcon(TForm1& form) : QObject(&form), form_(form) {
  // Not a child of the main window: a modal dialog blocks the main window
  // and everything that belongs to it, and the menu must work meanwhile.
  PopUpMenuTrayIcon = new QMenu();
  PopUpMenuTrayIcon->setObjectName(QStringLiteral("PopUpMenuTrayIcon"));
  struct Item {
    QAction** action;  // none for a separator
    const char* name;
    const char* caption;
    void (TTrayIcon::*handler)();
  } items[] = {
      {&Otevthlavndialog1, "Otevthlavndialog1", "Otevřít Program", &TTrayIcon::Otevthlavndialog1Click},
      {&OtevtProcessKillera1, "OtevtProcessKillera1", "Otevřít Process Killera", &TTrayIcon::OtevtProcessKillera1Click},
      {nullptr, "N3", nullptr, nullptr},
      {&OtevtCDROM1, "OtevtCDROM1", "Otevřít CD-ROM", &TTrayIcon::OtevtCDROM1Click},
      {&ZavtCDROM1, "ZavtCDROM1", "Zavřít CD-ROM", &TTrayIcon::ZavtCDROM1Click},
      {&VysypatKo1, "VysypatKo1", "Vysypat Koš", &TTrayIcon::VysypatKo1Click},
      {&Vypnoutpota1, "Vypnoutpota1", "Vypnout počítač", &TTrayIcon::Vypnoutpota1Click},
      {&Restartovatpota1, "Restartovatpota1", "Restartovat počítač", &TTrayIcon::Restartovatpota1Click},
      {&Odhlsituivatele1, "Odhlsituivatele1", "Odhlásit uživatele", &TTrayIcon::Odhlsituivatele1Click},
      {nullptr, "N2", nullptr, nullptr},
      {&Oprogramu2, "Oprogramu2", "O Programu", &TTrayIcon::Oprogramu2Click},
      {&Ukonit1, "Ukonit1", "Ukončit", &TTrayIcon::Ukonit1Click},
  };
  for (const Item& item : items) {
    if (item.action == nullptr) {
      PopUpMenuTrayIcon->addSeparator()->setObjectName(QString::fromUtf8(item.name));
      continue;
    }
    *item.action = PopUpMenuTrayIcon->addAction(QString::fromUtf8(item.caption));
    (*item.action)->setObjectName(QString::fromUtf8(item.name));
    Bind(*item.action, &QAction::triggered, this, item.handler);
  }

  TrayIconData.cbSize = sizeof TrayIconData;
  TrayIconData.uID = 0;
  TrayIconData.uFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
  TrayIconData.uCallbackMessage = platform::WM_USER;
  TrayIconData.hIcon = 1;  // the application's icon
  std::strncpy(TrayIconData.szTip, "Ovlix", sizeof TrayIconData.szTip);
}

TTrayIcon::~TTrayIcon() { delete PopUpMenuTrayIcon; }

void TTrayIcon::Add(platform::HWND window) {
  TrayIconData.hWnd = static_cast<std::uint32_t>(window);
  platform::Shell_NotifyIconA(platform::NIM_ADD, &TrayIconData);
  // Opened by the tray itself at the icon where it can; the right click
  // below opens it where it cannot.
  platform::SetTrayMenu(TrayIconData, PopUpMenuTrayIcon);
}

void TTrayIcon::Remove() { platform::Shell_NotifyIconA(platform::NIM_DELETE, &TrayIconData); }

void TTrayIcon::TrayIconMessage(platform::LPARAM mouseMessage) {
  if (mouseMessage == platform::WM_LBUTTONUP) {
    Otevthlavndialog1Click();
  } else if (mouseMessage == platform::WM_RBUTTONUP) {
    platform::POINT at;
    platform::GetCursorPos(&at);
    PopUpMenuTrayIcon->popup(QPoint(at.x, at.y));
  }
}

// A window on view is left alone; a minimised one is as good as hidden.
void TTrayIcon::Otevthlavndialog1Click() {
  if (!form_.isVisible() || form_.isMinimized()) form_.BringForward();
}
void TTrayIcon::OtevtProcessKillera1Click() { Form5->Open(); }
void TTrayIcon::OtevtCDROM1Click() { form_.cdDoor->Button17Click(); }
void TTrayIcon::ZavtCDROM1Click() { form_.cdDoor->Button18Click(); }
void TTrayIcon::VysypatKo1Click() { EmptyRecycleBin(); }
void TTrayIcon::Vypnoutpota1Click() { EndWindows(EWX_SHUTDOWN); }
void TTrayIcon::Restartovatpota1Click() { EndWindows(EWX_REBOOT); }
void TTrayIcon::Odhlsituivatele1Click() { EndWindows(EWX_LOGOFF); }
void TTrayIcon::Oprogramu2Click() { Form2->ShowModal(); }
void TTrayIcon::Ukonit1Click() { QCoreApplication::quit(); }
