// The main window's icon in the notification area and its menu of the most
// used actions, which work while the window is hidden.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>

#include "platform/tray.h"

class TForm1;

class TTrayIcon : public QObject {
  Q_OBJECT
 public:
  explicit TTrayIcon(TForm1& form);
  ~TTrayIcon() override;

  platform::NOTIFYICONDATAA TrayIconData;
  QMenu* PopUpMenuTrayIcon;
  QAction* Otevthlavndialog1;
  QAction* OtevtProcessKillera1;
  QAction* OtevtCDROM1;
  QAction* ZavtCDROM1;
  QAction* VysypatKo1;
  QAction* Vypnoutpota1;
  QAction* Restartovatpota1;
  QAction* Odhlsituivatele1;
  QAction* Oprogramu2;
  QAction* Ukonit1;

  void Add(platform::HWND window);  // once, at the window's creation
  void Remove();                    // as the window goes
  // The icon's callback: lParam is the mouse message.
  void TrayIconMessage(platform::LPARAM mouseMessage);

  void Otevthlavndialog1Click();
  void OtevtProcessKillera1Click();
  void OtevtCDROM1Click();
  void ZavtCDROM1Click();
  void VysypatKo1Click();
  void Vypnoutpota1Click();
  void Restartovatpota1Click();
  void Odhlsituivatele1Click();
  void Oprogramu2Click();
  void Ukonit1Click();

 private:
  TForm1& form_;
};
