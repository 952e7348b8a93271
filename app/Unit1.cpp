#include "app/Unit1.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include "actions/BlinkerGroup.h"
#include "app/AddOnsGroup.h"
#include "app/Hotkeys.h"
#include "app/TrayIcon.h"
#include "app/running_copy.h"
#include "actions/CdDoorGroup.h"
#include "actions/PowerGroup.h"
#include "app/forms.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "framework/convert.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/reading_order.h"
#include "framework/registry_access.h"
#include "framework/widgets.h"
#include "framework/window_frame.h"
#include "app/uptime.h"
#include "platform/mutex.h"
#include "platform/toolhelp.h"
#include "platform/tray.h"
#include "resx/RXMain.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "tweaks/PoliciesGroup.h"
#include "tweaks/ProgramFilesGroup.h"
#include "tweaks/ScreenSaverGroup.h"
#include "tweaks/StartButtonGroup.h"
#include "tweaks/WallpaperGroup.h"
#include "tweaks/WindowDragGroup.h"

namespace {

constexpr int kClientWidth = 437;
constexpr int kClientHeight = 375;

QFrame* MakePage(QWidget* parent, const QString& name) {
  auto* page = new QFrame(parent);
  page->setObjectName(name);
  page->setFrameStyle(QFrame::Panel | QFrame::Raised);
  page->setGeometry(2, 24, 433, 329);
  return page;
}

// The page buttons share the row in proportion to the length of their
// captions. Character counts, not font metrics: measuring text would load
// the font database before the window is even shown.
void LayOutPageButtons(std::initializer_list<QPushButton*> buttons) {
  constexpr int kLeft = 2, kRow = 433, kGap = 1, kPadding = 4;
  int total = 0;
  for (QPushButton* b : buttons) total += static_cast<int>(b->text().size()) + kPadding;
  int free = kRow - kGap * (static_cast<int>(buttons.size()) - 1);
  int x = kLeft, used = 0, i = 0;
  for (QPushButton* b : buttons) {
    used += static_cast<int>(b->text().size()) + kPadding;
    int right = ++i == static_cast<int>(buttons.size()) ? kLeft + kRow : kLeft + free * used / total + kGap * (i - 1);
    b->setGeometry(x, 1, right - x, 22);
    x = right + kGap;
  }
}

}  // namespace

TForm1::TForm1() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Ovlix " OVLIX_VERSION " Czech version"));
  setAccessibleName(windowTitle());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  Timer1 = new TTimer(this, "Timer1", 1000, false);
  Timer3 = new TTimer(this, "Timer3", 250, false);
  Timer4 = new TTimer(this, "Timer4", 1, true);
  Timer4->OnTimer = [this] { RefreshUptime(); };
  BuildMenu();
  BuildPages();
  hotkeys = new THotkeys(*this);
  tray = new TTrayIcon(*this);
  Handle = platform::CreateWindowHandle(
      [this](UINT message, platform::WPARAM w, platform::LPARAM l) -> platform::LRESULT {
        Guard([&] {
          if (message == platform::WM_USER) tray->TrayIconMessage(l);
          if (message == platform::WM_HOTKEY) hotkeys->HotKeyMessage(w, l);
        });
        return 0;
      },
      "TForm1");

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  FrameFixedWindow(this);
  layout()->activate();
  Guard([this] { FormCreate(); });
}

TForm1::~TForm1() {
  Guard([this] { FormDestroy(); });
  platform::CloseHandle(instanceMutex_);
  platform::DestroyWindowHandle(Handle);
  delete hotkeys;
}

void TForm1::FormDestroy() {
  tray->Remove();
  hotkeys->Unregister(Handle);
  startButton->RestoreStartButton();
}

void TForm1::BuildMenu() {
  QMenuBar* MainMenu1 = menuBar();
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* program = MainMenu1->addMenu(QStringLiteral("Program"));
  PonechatvTrayIkonce1 = program->addAction(QStringLiteral("Ponechat v TrayIkonce"));
  PonechatvTrayIkonce1->setShortcut(Qt::Key_F9);
  ZavtAltF41 = program->addAction(QStringLiteral("Zavřít   Alt+F4"));
  QMenu* settings = MainMenu1->addMenu(QStringLiteral("Nastavení"));
  Nastavenprogramu1 = settings->addAction(QStringLiteral("Nastavení programu"));
  Nastavenklvesovchzkratek1 = settings->addAction(QStringLiteral("Nastavení klávesových zkratek"));
  QMenu* help = MainMenu1->addMenu(QStringLiteral("Nápověda"));
  Npovdatim1 = help->addAction(QStringLiteral("Nápověda (Z disku)"));
  help->addSeparator();
  OProgramu1 = help->addAction(QStringLiteral("O Programu"));

  PonechatvTrayIkonce1->setObjectName(QStringLiteral("PonechatvTrayIkonce1"));
  ZavtAltF41->setObjectName(QStringLiteral("ZavtAltF41"));
  Nastavenprogramu1->setObjectName(QStringLiteral("Nastavenprogramu1"));
  Nastavenklvesovchzkratek1->setObjectName(QStringLiteral("Nastavenklvesovchzkratek1"));
  Npovdatim1->setObjectName(QStringLiteral("Npovdatim1"));
  OProgramu1->setObjectName(QStringLiteral("OProgramu1"));

  Bind(PonechatvTrayIkonce1, &QAction::triggered, this, &TForm1::PonechatvTrayIkonce1Click);
  Bind(ZavtAltF41, &QAction::triggered, this, &TForm1::ZavtAltF41Click);
  Bind(Nastavenprogramu1, &QAction::triggered, this, &TForm1::Nastavenprogramu1Click);
  Bind(Nastavenklvesovchzkratek1, &QAction::triggered, this, &TForm1::Nastavenklvesovchzkratek1Click);
  Bind(Npovdatim1, &QAction::triggered, this, &TForm1::Npovdatim1Click);
  Bind(OProgramu1, &QAction::triggered, this, &TForm1::OProgramu1Click);
}

void TForm1::BuildPages() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  sButton26 = MakeButton(client, "sButton26", "Systém", {});
  sButton27 = MakeButton(client, "sButton27", "Plocha, start a spořič", {});
  sButton28 = MakeButton(client, "sButton28", "CD/DVD mechaniky", {});
  sButton29 = MakeButton(client, "sButton29", "Další nastavení a doplňky", {});
  LayOutPageButtons({sButton26, sButton27, sButton28, sButton29});
  zsystem = MakePage(client, "zsystem");
  zplocha = MakePage(client, "zplocha");
  zcddvd = MakePage(client, "zcddvd");
  zdoplnky = MakePage(client, "zdoplnky");
  sButton11 = MakeButton(client, "sButton11", "Ukončit aplikaci", {2, 354, 150, 20});
  sButton10 = MakeButton(client, "sButton10", "Ponechat jen v TrayIkonce", {255, 354, 180, 20});

  power = new PowerGroup(zsystem);
  policies = new PoliciesGroup(zsystem);
  windowDrag = new WindowDragGroup(zsystem);
  programFiles = new ProgramFilesGroup(zsystem);
  wallpaper = new WallpaperGroup(zplocha);
  startButton = new StartButtonGroup(zplocha);
  screenSaver = new ScreenSaverGroup(zplocha);
  cdDoor = new CdDoorGroup(zcddvd);
  addOns = new AddOnsGroup(zdoplnky);
  blinker = new BlinkerGroup(zdoplnky, Timer3);
  CasSystemu =
      MakeLabel(zsystem, "CasSystemu", "Váš systém běží už Neznámo Sekund. A to je Neznámo minut.", {8, 300, 417, 20});

  // Tab goes through the page on view first, then to the page buttons and
  // the foot; the hidden pages' controls are passed over
  QList<QWidget*> tabOrder;
  for (QWidget* page : {zsystem, zplocha, zcddvd, zdoplnky}) tabOrder += ReadingOrder(page);
  ChainTabOrder(tabOrder + QList<QWidget*>{sButton26, sButton27, sButton28, sButton29, sButton11, sButton10});
  tabOrder.front()->setFocus();  // where the window starts

  zplocha->hide();
  zcddvd->hide();
  zdoplnky->hide();
  sButton26->setEnabled(false);

  Bind(sButton26, &QPushButton::clicked, this, &TForm1::sButton26Click);
  Bind(sButton27, &QPushButton::clicked, this, &TForm1::sButton27Click);
  Bind(sButton28, &QPushButton::clicked, this, &TForm1::sButton28Click);
  Bind(sButton29, &QPushButton::clicked, this, &TForm1::sButton29Click);
  Bind(sButton11, &QPushButton::clicked, this, &TForm1::Button15Click);
  Bind(sButton10, &QPushButton::clicked, this, &TForm1::Button14Click);
}

void TForm1::FormCreate() {
  {
    TIniFile ini(kSettingsFile);
    for (std::size_t i = 0; i < hotkeyKeys.size(); ++i)
      hotkeyKeys[i] = ini.ReadString("zkratky", "p" + std::to_string(i + 1), kHotkeyDefaults[i]);
  }
  hotkeys->Register(Handle, hotkeyKeys);

  instanceMutex_ = platform::CreateMutexA(nullptr, FALSE_, "Ovlix");
  if (platform::GetLastError() == ERROR_ALREADY_EXISTS) {
    // the running copy comes forward instead
    HandToRunningCopy(RequestOfThisStart());
    ::_exit(0);
  }
  runningCopy_ = new TRunningCopy([this](const StartRequest& request) { Guard([&] { StartedAgain(request); }); });
  runningCopy_->setParent(this);

  tray->Add(Handle);

  TIniFile ini(kSettingsFile);
  wallpaper->CestaPlocha->setText(QString::fromStdString(ini.ReadString("Obrazky", "CestaPlocha", "C:\\")));
  startButton->CestaStart->setText(QString::fromStdString(ini.ReadString("Obrazky", "CestaStart", "C:\\")));
  cdDoor->DriveCDROM->SetText(QString::fromStdString(ini.ReadString("CDROM", "driveCD", "D:")));
  std::string insertPicture = ini.ReadString("Nastaveni", "VkladatPoSpusteni", "0");
  blinker->RychlostBlikani->SetValue(StrToInt(ini.ReadString("Nastaveni", "BlikaniRychlost", "250")));
  std::string blinkAtStart = ini.ReadString("Nastaveni", "BlikaniPriSpusteni", "0");

  std::string dragFullWindows, screenSaveTimeOut;
  ReadRegistryValues(dragFullWindows, screenSaveTimeOut);
  if (dragFullWindows == "1") windowDrag->ObsahOkna->setChecked(true);
  screenSaver->SporicMinuty->SetValue(StrToInt(screenSaveTimeOut) / 60);

  startButton->CBox->setChecked(insertPicture == "1");
  if (insertPicture == "1") startButton->InsertAtStart();
  if (blinkAtStart == "1") blinker->ToggleBlinker();

  cdDoor->FillDriveList();
  policies->FillDriveList();
}

void TForm1::ReadRegistryValues(std::string& dragFullWindows, std::string& screenSaveTimeOut) {
  {
    TRegistry reg(platform::RootKey::CurrentUser);
    if (reg.OpenKey("\\Control Panel\\Desktop\\", true)) {
      dragFullWindows = reg.ReadString("DragFullWindows");
      screenSaveTimeOut = reg.ReadString("ScreenSaveTimeOut");
      reg.CloseKey();
    }
  }
  TRegistry reg(platform::RootKey::LocalMachine);
  if (reg.OpenKey("\\software\\Microsoft\\windows\\CurrentVersion", true)) {
    programFiles->Edit1->setText(QString::fromStdString(reg.ReadString("ProgramFilesDir")));
    reg.CloseKey();
  }
}

void TForm1::FormShow() { CheckSavedSkin(sSkinManager1, Form3 != nullptr ? Form3->ComboBox1->Text() : QString()); }

void TForm1::RefreshUptime() {
  DWORD ticks = platform::GetTickCount();
  QString text = QString::fromStdString(UptimeText(ticks));
  if (CasSystemu->text() != text) CasSystemu->setText(text);
  // the text changes only with the next whole second
  Timer4->DeferNextTick(1000 - ticks % 1000 + 1);
}

void TForm1::ShowPage(QPushButton* pressed) {
  const std::pair<QPushButton*, QFrame*> pages[] = {
      {sButton29, zdoplnky}, {sButton28, zcddvd}, {sButton26, zsystem}, {sButton27, zplocha}};
  for (const auto& [button, panel] : pages) {
    button->setEnabled(button != pressed);
    panel->setVisible(button == pressed);
  }
}

void TForm1::sButton26Click() { ShowPage(sButton26); }
void TForm1::sButton27Click() { ShowPage(sButton27); }
void TForm1::sButton28Click() { ShowPage(sButton28); }
void TForm1::sButton29Click() { ShowPage(sButton29); }

void TForm1::Button14Click() { KeepInTray(); }
void TForm1::PonechatvTrayIkonce1Click() { KeepInTray(); }

void TForm1::KeepInTray() {
  if (platform::TrayShowsIcons())
    hide();
  else
    showMinimized();
}

void TForm1::BringForward() {
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  if (!isVisible()) show();
  raise();
  activateWindow();
}

void TForm1::StartedAgain(const StartRequest& request) {
  // A token lets a Wayland desktop give the keyboard to the window the
  // launcher's click was for; the toolkit takes it from the environment
  // at the next activation.
  auto handOverToken = [&] {
    if (!request.activationToken.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", request.activationToken.toUtf8());
  };
  if (request.file.isEmpty() || !QFileInfo(request.file).isFile()) {
    handOverToken();
    BringForward();
    return;
  }
  if (!isVisible() || isMinimized()) BringForward();
  handOverToken();
  KSRE->ShowFile(request.file);
}
void TForm1::Button15Click() { QCoreApplication::quit(); }
void TForm1::ZavtAltF41Click() { QCoreApplication::quit(); }

void TForm1::Nastavenprogramu1Click() { Form3->ShowModal(); }
void TForm1::Nastavenklvesovchzkratek1Click() { Form4->ShowModal(); }
void TForm1::OProgramu1Click() { Form2->ShowModal(); }

void TForm1::Npovdatim1Click() {
  std::string help = platform::ProgramFolder() + "readme.htm";
  platform::ShellExecuteA(0, "open", help.c_str(), nullptr, nullptr, platform::SW_SHOWNORMAL);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!centred_) {
    centred_ = true;
    if (QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
  Guard([this] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  QCoreApplication::quit();
}
