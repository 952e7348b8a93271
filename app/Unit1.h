// The main window: four pages of controls under a row of page buttons, the
// main menu, the two foot buttons and the main window's timers.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <array>
#include <string>

#include "framework/timer.h"
#include "platform/window_messages.h"
#include "skin/SkinManager.h"

class AddOnsGroup;
class THotkeys;
class TRunningCopy;
struct StartRequest;
class TTrayIcon;
class BlinkerGroup;
class CdDoorGroup;
class PoliciesGroup;
class PowerGroup;
class ProgramFilesGroup;
class ScreenSaverGroup;
class StartButtonGroup;
class WallpaperGroup;
class WindowDragGroup;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  TForm1();
  ~TForm1() override;

  QPushButton* sButton26;  // "Systém"
  QPushButton* sButton27;  // "Plocha, start a spořič"
  QPushButton* sButton28;  // "CD/DVD mechaniky"
  QPushButton* sButton29;  // "Další nastavení a doplňky"
  QFrame* zsystem;
  QFrame* zplocha;
  QFrame* zcddvd;
  QFrame* zdoplnky;
  QPushButton* sButton11;  // "Ukončit aplikaci"
  QPushButton* sButton10;  // "Ponechat jen v TrayIkonce"
  QLabel* CasSystemu;      // the uptime line

  QAction* PonechatvTrayIkonce1;
  QAction* ZavtAltF41;
  QAction* Nastavenprogramu1;
  QAction* Nastavenklvesovchzkratek1;
  QAction* Npovdatim1;
  QAction* OProgramu1;

  TTimer* Timer1;
  TTimer* Timer3;
  TTimer* Timer4;
  TSkinManager sSkinManager1;

  PowerGroup* power;
  PoliciesGroup* policies;
  WindowDragGroup* windowDrag;
  ProgramFilesGroup* programFiles;
  WallpaperGroup* wallpaper;
  StartButtonGroup* startButton;
  ScreenSaverGroup* screenSaver;
  CdDoorGroup* cdDoor;
  BlinkerGroup* blinker;
  AddOnsGroup* addOns;

  // The hotkey key names p1 to p7, as read at creation.
  std::array<std::string, 7> hotkeyKeys;

  platform::HWND Handle = 0;  // where the tray icon and the hotkeys send their messages
  THotkeys* hotkeys;
  TTrayIcon* tray;

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void sButton26Click();
  void sButton27Click();
  void sButton28Click();
  void sButton29Click();
  void Button14Click();
  void PonechatvTrayIkonce1Click();
  void Button15Click();
  void ZavtAltF41Click();
  void Nastavenprogramu1Click();
  void Nastavenklvesovchzkratek1Click();
  void Npovdatim1Click();
  void OProgramu1Click();
  void RefreshUptime();

  // Shown from the tray, restored when minimised, raised and given the
  // keyboard.
  void BringForward();
  // "Ponechat v TrayIkonce": hidden where a tray shows the icon to bring it
  // back by, elsewhere minimised; the program is never left out of reach.
  void KeepInTray();
  // A later start of the program asked for this copy.
  void StartedAgain(const StartRequest& request);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BuildPages();
  void ShowPage(QPushButton* pressed);
  void ReadRegistryValues(std::string& dragFullWindows, std::string& screenSaveTimeOut);

  bool centred_ = false;
  HANDLE instanceMutex_ = 0;  // held for the life of the window: one copy runs
  TRunningCopy* runningCopy_ = nullptr;
};
