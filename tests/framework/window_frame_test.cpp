#include "framework/window_frame.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

#include "framework/form.h"
#include "framework/message_box.h"

namespace {

// A desktop that leaves the frames to the program (GNOME, weston).
class WindowFrame : public testing::Test {
 protected:
  void SetUp() override { SetOwnWindowFrames(true); }
  void TearDown() override { SetOwnWindowFrames(false); }

  static QWidget* Bar(QWidget& window) { return window.findChild<QWidget*>("WindowTitleBar"); }
  static QStringList Buttons(QWidget& window) {
    QStringList names;
    for (auto* button : Bar(window)->findChildren<QToolButton*>()) names << button->accessibleName();
    return names;
  }
};

TEST_F(WindowFrame, AFixedDialogCarriesTheBarAboveItsControls) {
  TForm form(nullptr, "Form9", "Nastavení klávesových zkratek");
  form.setFixedSize(314, 100);
  auto* ok = new QPushButton("OK", &form);
  ok->setGeometry(119, 60, 75, 25);
  form.show();
  QWidget* bar = Bar(form);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(bar->geometry(), QRect(0, 0, 314, bar->height()));
  EXPECT_EQ(form.size(), QSize(314, 100 + bar->height()));
  EXPECT_EQ(ok->y(), 60 + bar->height());
  // a dialog has no minimise box, and no fixed window a maximise box
  EXPECT_EQ(Buttons(form), QStringList{"Zavřít"});
  // a second showing frames nothing twice
  form.hide();
  form.show();
  EXPECT_EQ(form.findChildren<QWidget*>("WindowTitleBar").size(), 1);
  EXPECT_EQ(ok->y(), 60 + bar->height());
  bar->findChild<QToolButton*>("Zavřít")->click();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(WindowFrame, OnlyFixedWindowsOnADesktopThatLeavesTheFramesToUs) {
  TForm resizable(nullptr, "Form9", "Resource Explorer");
  resizable.resize(300, 200);
  resizable.show();
  EXPECT_EQ(Bar(resizable), nullptr);
  EXPECT_FALSE(resizable.windowFlags() & Qt::FramelessWindowHint);

  SetOwnWindowFrames(false);  // X11, KWin: the desktop draws the frames
  TForm fixed(nullptr, "Form10", "O Programu");
  fixed.setFixedSize(233, 215);
  fixed.show();
  EXPECT_EQ(Bar(fixed), nullptr);
  EXPECT_EQ(fixed.size(), QSize(233, 215));
}

TEST_F(WindowFrame, AWindowLaidOutByItsLayoutGrowsByTheBar) {
  QMainWindow window;
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  window.menuBar()->addMenu("Program");
  auto* client = new QWidget;
  client->setFixedSize(437, 375);
  window.setCentralWidget(client);
  window.layout()->setSizeConstraint(QLayout::SetFixedSize);
  FrameFixedWindow(&window);
  window.show();
  QWidget* bar = Bar(window);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(window.menuBar()->y(), bar->height());
  EXPECT_EQ(client->mapTo(&window, QPoint()).y(), bar->height() + window.menuBar()->height());
  EXPECT_EQ(bar->width(), window.width());
  EXPECT_EQ(Buttons(window), (QStringList{"Minimalizovat", "Zavřít"}));
  bar->findChild<QToolButton*>("Minimalizovat")->click();
  EXPECT_TRUE(window.isMinimized());
}

TEST_F(WindowFrame, AMessageBoxKeepsItsTextBelowTheBar) {
  std::unique_ptr<QMessageBox> box = MakeBox(BoxKind::Warning, "Warning", "Unable to write to Trelmo.ini", nullptr);
  box->show();
  QWidget* bar = Bar(*box);
  ASSERT_NE(bar, nullptr);
  auto* text = box->findChild<QLabel*>("qt_msgbox_label");
  ASSERT_NE(text, nullptr);
  EXPECT_GE(text->mapTo(box.get(), QPoint()).y(), bar->height());
  EXPECT_EQ(bar->width(), box->width());
  EXPECT_EQ(Buttons(*box), QStringList{"Zavřít"});
}

}  // namespace
