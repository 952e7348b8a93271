// Every secondary window and message box is a dialog of the window that
// opens it: transient for it, modal to it alone, with no minimise box of its
// own; the tray icon's window and its menu are blocked by none of them.
#include <QApplication>
#include <QFontDatabase>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "app/TrayIcon.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit7.h"
#include "dialogs/Unit8.h"
#include "framework/message_box.h"
#include "prockill/Unit5.h"
#include "resx/RXMain.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/forms_fixture.h"

namespace {

class DialogWindows : public FormsTest {
 protected:
  // Runs `open`, which shows `window` modally, runs `inside` while it is
  // open and closes it again; false when the window never came up.
  // `inside` runs from the window's own modal loop.
  static bool WhileOpen(QWidget* window, const std::function<void()>& open, const std::function<void()>& inside) {
    bool ran = false;
    QObject scope;  // a timer that has not fired when this returns never fires
    QTimer::singleShot(0, &scope, [&] {
      if (!window->isVisible()) return;
      ran = true;
      inside();
      window->close();
    });
    open();
    return ran;
  }
  static QWindow* TransientParentOf(QWidget* window) {
    return window->windowHandle() != nullptr ? window->windowHandle()->transientParent() : nullptr;
  }
  static void Click(QWidget* widget, QPoint at) {
    // through the window, as the window system delivers it, so that a
    // modal window's block applies
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, widget->mapTo(widget->window(), at));
  }

  FakeDesktop desktop;
};

TEST_F(DialogWindows, EveryWindowIsADialogOfTheMainWindowModalToItAlone) {
  CreateForms();
  Form1->show();
  const std::vector<TForm*> windows{Form2, Form3, Form4, Form5, KSRE, Formnh, Formzh, Tipy};
  for (TForm* window : windows) {
    SCOPED_TRACE(window->objectName().toStdString());
    EXPECT_EQ(window->parentWidget(), Form1);
    EXPECT_EQ(window->windowType(), Qt::Dialog);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    // only the resizable explorer may fill the screen
    EXPECT_EQ(bool(window->windowFlags() & Qt::WindowMaximizeButtonHint), window == KSRE);
    EXPECT_TRUE(WhileOpen(
        window, [&] { window->ShowModal(); },
        [&] {
          EXPECT_EQ(window->windowModality(), Qt::WindowModal);
          EXPECT_EQ(TransientParentOf(window), Form1->windowHandle());
          EXPECT_EQ(QApplication::activeModalWidget(), window);
          // the owner waits: its foot button does not hide it
          Click(Form1->sButton10, Form1->sButton10->rect().center());
          EXPECT_TRUE(Form1->isVisible());
        }));
  }
}

TEST_F(DialogWindows, AnOwnerNeverShownIsOwnerFromTheFirstShowing) {
  CreateForms();  // started in the tray: the main window was never shown
  EXPECT_TRUE(WhileOpen(
      Form5, [] { Form5->Open(); },
      [] {
        ASSERT_NE(Form1->windowHandle(), nullptr);
        EXPECT_EQ(TransientParentOf(Form5), Form1->windowHandle());
      }));
}

TEST_F(DialogWindows, TheDialogOfAMinimisedOwnerStandsAlone) {
  CreateForms();
  Form1->showMinimized();  // minimised by the user, a tray item opens the killer
  EXPECT_TRUE(WhileOpen(
      Form5, [] { Form5->Open(); },
      [] {
        EXPECT_EQ(TransientParentOf(Form5), nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), Form5);
      }));
  Form1->showNormal();  // the next showing is its dialog again
  EXPECT_TRUE(WhileOpen(
      Form5, [] { Form5->Open(); }, [] { EXPECT_EQ(TransientParentOf(Form5), Form1->windowHandle()); }));
}

TEST_F(DialogWindows, NewPasswordOpenedFromEnterPasswordIsItsDialog) {
  CreateForms();
  Form1->show();
  EXPECT_TRUE(WhileOpen(
      Formzh, [] { Formzh->Open(); },
      [] {
        bool seen = false;
        QObject scope;
        QTimer::singleShot(0, &scope, [&] {
          seen = true;
          EXPECT_TRUE(Formnh->isVisible());
          EXPECT_EQ(TransientParentOf(Formnh), Formzh->windowHandle());
          EXPECT_EQ(Formnh->windowModality(), Qt::WindowModal);
          Formnh->close();
        });
        Formzh->sButton3->click();  // "Změnit heslo": its modal loop runs the check
        EXPECT_TRUE(seen);
      }));
  // opened from the main window again, it is the main window's once more
  EXPECT_TRUE(WhileOpen(
      Formnh, [] { Formnh->Open(); }, [] { EXPECT_EQ(TransientParentOf(Formnh), Form1->windowHandle()); }));
}

TEST_F(DialogWindows, TheTrayWindowAndTheTrayMenuStayLiveWhileADialogIsModal) {
  CreateForms();
  // the desktop's tray icon is a window of its own that belongs to no other
  QPushButton trayWindow(QStringLiteral("tray"));
  trayWindow.show();
  QSignalSpy trayClicks(&trayWindow, &QPushButton::clicked);
  QMenu* menu = Form1->tray->PopUpMenuTrayIcon;
  for (TForm* window : std::vector<TForm*>{Form5, Form2}) {
    SCOPED_TRACE(window->objectName().toStdString());
    Form1->hide();
    trayClicks.clear();
    EXPECT_TRUE(WhileOpen(
        window, [&] { window->ShowModal(); },
        [&] {
          Click(&trayWindow, trayWindow.rect().center());
          EXPECT_EQ(trayClicks.count(), 1);
          desktop.tray->click(platform::WM_RBUTTONUP);
          ASSERT_TRUE(menu->isVisible());
          Click(menu, menu->actionGeometry(Form1->tray->Otevthlavndialog1).center());
          EXPECT_TRUE(Form1->isVisible());
          EXPECT_FALSE(menu->isVisible());
        }));
  }
}

TEST_F(DialogWindows, AMessageBoxIsADialogOfTheWindowThatOpenedIt) {
  CreateForms();
  BoxPresenter recorder = SetBoxPresenter({});  // the real boxes
  EXPECT_TRUE(WhileOpen(
      Form5, [] { Form5->Open(); },
      [] {
        bool seen = false;
        QObject scope;
        QTimer::singleShot(0, &scope, [&] {
          seen = true;
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          ASSERT_NE(box, nullptr);
          EXPECT_EQ(box->parentWidget(), Form5);
          EXPECT_EQ(TransientParentOf(box), Form5->windowHandle());
          EXPECT_EQ(box->windowModality(), Qt::WindowModal);
          EXPECT_FALSE(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
          box->close();
        });
        ShowBox(BoxKind::Error, QStringLiteral("Range check error"));  // its modal loop runs the check
        EXPECT_TRUE(seen);
      }));
  SetBoxPresenter(recorder);
}

TEST_F(DialogWindows, AMessageBoxIsWideEnoughForItsCaption) {
  QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  title.setBold(true);
  QFontMetrics metrics(title);
  for (const QString& caption :
       {QStringLiteral("Ovlix " OVLIX_VERSION), QStringLiteral("Information"),
        QStringLiteral("Ovlix " OVLIX_VERSION " - a caption much longer than the box's text")}) {
    SCOPED_TRACE(caption.toStdString());
    std::unique_ptr<QMessageBox> box = MakeBox(BoxKind::Error, caption, QStringLiteral("x"), nullptr);
    box->show();
    // the caption beside the window's icon and close box, each as wide as
    // the title bar is high (two lines of the title font)
    EXPECT_GE(box->width(), metrics.horizontalAdvance(caption) + 4 * metrics.height());
    box->close();
  }
}

}  // namespace
