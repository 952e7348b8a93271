#include "app/program.h"

#include <QApplication>

#include "app/Unit1.h"
#include "app/forms.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit7.h"
#include "dialogs/Unit8.h"
#include "framework/application.h"
#include "framework/ini_file.h"
#include "platform/tray.h"
#include "prockill/Unit5.h"
#include "resx/RXMain.h"

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TKSRE* KSRE = nullptr;
TFormnh* Formnh = nullptr;
TFormzh* Formzh = nullptr;
TTipy* Tipy = nullptr;

void CreateForms() {
  Form1 = new TForm1();
  // every other window is a dialog of the main window
  Form2 = new TForm2(Form1);
  Form3 = new TForm3(Form1, Form1->sSkinManager1);
  Form4 = new TForm4(Form1);
  Form5 = new TForm5(Form1, Form1->sSkinManager1, *Form3->ComboBox1);
  KSRE = new TKSRE(Form1);
  Formnh = new TFormnh(Form1);
  Formzh = new TFormzh(Form1, *Formnh);
  Tipy = new TTipy(Form1);
  Formnh->CentreOver(Form1);
  Formzh->CentreOver(Form1);
}

namespace {
template <class T>
void Destroy(T*& form) {
  delete form;
  form = nullptr;
}
}  // namespace

void DestroyForms() {
  Destroy(Tipy);
  Destroy(Formzh);
  Destroy(Formnh);
  Destroy(KSRE);
  Destroy(Form5);
  Destroy(Form4);
  Destroy(Form3);
  Destroy(Form2);
  Destroy(Form1);
}

bool StartsInTray() { return TIniFile(kSettingsFile).ReadString("Nastaveni", "SpousteniVTray", "0") == "1"; }

void ShowMainWindowAtStart(bool inTray) {
  if (!inTray)
    Form1->show();
  else if (!platform::TrayShowsIcons()) {
    // shown first and then minimised: a window that asks to start iconic
    // is shown normally by some window managers, depending on timing
    Form1->show();
    Form1->setWindowState(Form1->windowState() | Qt::WindowMinimized);
  }
}

int RunProgram(const QIcon& windowIcon) {
  Application::SetTitle(QStringLiteral("Ovlix " OVLIX_VERSION));
  // the window class "ovlix" / "Ovlix" the menu entry names
  QGuiApplication::setApplicationName(QStringLiteral("Ovlix"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.ovlix.Ovlix"));
  Application::LoadToolkitTranslation();
  // Hidden in the tray the program has no visible window, yet goes on.
  QApplication::setQuitOnLastWindowClosed(false);
  bool hidden = StartsInTray();
  CreateForms();
  ShowMainWindowAtStart(hidden);
  // given once the window is up: drawing it would only hold the window back
  QApplication::setWindowIcon(windowIcon);
  int rc = QApplication::exec();
  DestroyForms();
  return rc;
}
