#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

#include "actions/PowerGroup.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/forms_fixture.h"
#include "tweaks/PoliciesGroup.h"
#include "tweaks/ProgramFilesGroup.h"
#include "tweaks/WindowDragGroup.h"

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

// Tab from the start goes through the page on view in reading order, then
// to the page buttons and last to the two buttons at the foot: three Tabs
// never reach "Ukončit aplikaci".
TEST_F(MainWindow, TabGoesThroughThePageThenThePageButtonsThenTheFoot) {
  CreateForms();
  Form1->show();
  Form1->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  // the control a focused part belongs to (the edit field of a combo box)
  auto focused = [] {
    QWidget* w = QApplication::focusWidget();
    while (w != nullptr && w->parentWidget() != nullptr && w->parentWidget()->focusProxy() == w) w = w->parentWidget();
    return w;
  };
  QList<QWidget*> visited;
  for (QWidget* w = focused(); w != nullptr && !visited.contains(w) && visited.size() < 60; w = focused()) {
    visited << w;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  PowerGroup* p = Form1->power;
  PoliciesGroup* e = Form1->policies;
  QList<QWidget*> expected{p->sButton4,
                           p->sButton3,
                           p->sButton2,
                           p->sButton1,
                           e->IkonyPlocha,
                           e->NastaveniSystemu,
                           e->NastaveniListy,
                           e->SpustitStart,
                           e->NajitStart,
                           e->PristupDisk,
                           e->Disky,
                           e->sButton20,
                           Form1->windowDrag->ObsahOkna,
                           Form1->windowDrag->sButton19,
                           Form1->programFiles->Edit1,
                           Form1->programFiles->sButton21,
                           Form1->programFiles->sButton22,
                           Form1->sButton27,
                           Form1->sButton28,
                           Form1->sButton29,
                           Form1->sButton11,
                           Form1->sButton10};
  auto names = [](const QList<QWidget*>& list) {
    QStringList out;
    for (QWidget* w : list) out << w->objectName();
    return out.join(" ").toStdString();
  };
  EXPECT_EQ(names(visited), names(expected));

  // on another page its own controls come first: after the foot's last
  // button, Tab goes round to them
  Form1->sButton28->click();
  Form1->sButton10->setFocus();
  QTest::keyClick(Form1->sButton10, Qt::Key_Tab);
  QWidget* first = focused();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(Form1->zcddvd->isAncestorOf(first)) << first->objectName().toStdString();
}
