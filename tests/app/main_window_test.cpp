#include <QAction>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/fake_desktop.h"
#include "tests/support/forms_fixture.h"

namespace {

using MainWindow = FormsTest;

TEST_F(MainWindow, ExactlyOnePageAndItsButtonDisabled) {
  CreateForms();
  QPushButton* buttons[] = {Form1->sButton26, Form1->sButton27, Form1->sButton28, Form1->sButton29};
  QFrame* panels[] = {Form1->zsystem, Form1->zplocha, Form1->zcddvd, Form1->zdoplnky};
  Form1->show();
  auto check = [&](int shown) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(panels[i]->isVisible(), i == shown) << "panel " << i;
      EXPECT_EQ(buttons[i]->isEnabled(), i != shown) << "button " << i;
    }
  };
  check(0);
  for (int i : {2, 1, 3, 0, 3}) {
    QTest::mouseClick(buttons[i], Qt::LeftButton);
    check(i);
  }
}

TEST_F(MainWindow, HidingKeepsTheProgramAndQuittingEndsTheLoop) {
  FakeDesktop desktop;  // a tray shows the icon to come back by
  CreateForms();
  Form1->show();
  Form1->sButton10->click();
  EXPECT_FALSE(Form1->isVisible());
  Form1->show();
  EXPECT_EQ(Form1->PonechatvTrayIkonce1->shortcut(), QKeySequence(Qt::Key_F9));
  Form1->PonechatvTrayIkonce1->trigger();
  EXPECT_FALSE(Form1->isVisible());

  // every way out ends the message loop
  auto endsTheLoop = [](auto action) {
    bool quit = false;
    QMetaObject::Connection c = QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { quit = true; });
    QTimer::singleShot(0, action);
    QTimer::singleShot(2000, [] { QCoreApplication::exit(1); });
    int rc = QCoreApplication::exec();
    QObject::disconnect(c);
    return quit && rc == 0;
  };
  EXPECT_TRUE(endsTheLoop([] { Form1->sButton11->click(); }));
  EXPECT_TRUE(endsTheLoop([] { Form1->ZavtAltF41->trigger(); }));
  EXPECT_TRUE(endsTheLoop([] {
    Form1->show();
    Form1->close();
  }));
}

TEST_F(MainWindow, TheWindowIsFixedWithAMinimiseBoxOnly) {
  CreateForms();
  Qt::WindowFlags flags = Form1->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize());
}

}  // namespace
