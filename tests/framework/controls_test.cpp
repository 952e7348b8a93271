#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "framework/application.h"
#include "framework/edit_combo.h"
#include "framework/message_box.h"
#include "framework/exception.h"
#include "framework/handler_guard.h"
#include "framework/program_style.h"
#include "framework/spin_edit.h"
#include "framework/timer.h"
#include "tests/support/box_recorder.h"
#include "tests/support/timer_clock.h"

namespace {

TEST(Timer, IntervalRules) {
  TTimer zero(nullptr, "zero", 0, true);
  EXPECT_FALSE(TimerClock(zero).Running());  // interval 0 never ticks
  TTimer slow(nullptr, "slow", 250, true);
  EXPECT_EQ(TimerClock(slow).Period(), 250);
  TTimer fast(nullptr, "fast", 1, true);
  TimerClock clock(fast);
  ASSERT_TRUE(clock.Running());
  EXPECT_EQ(clock.Period(), TTimer::kMinimumPeriod);  // never faster than the minimum period
  int ticks = 0;
  fast.OnTimer = [&] { ++ticks; };
  ASSERT_TRUE(clock.Tick());
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(clock.Period(), TTimer::kMinimumPeriod);

  try {
    fast.SetInterval(-5);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Range check error");
  }
  EXPECT_EQ(fast.Interval(), 1u);
  EXPECT_TRUE(fast.Enabled());
  EXPECT_TRUE(clock.Running());
  fast.SetInterval(0);
  EXPECT_FALSE(clock.Running());
  fast.SetInterval(40);
  EXPECT_EQ(clock.Period(), 40);
  fast.SetEnabled(false);
  EXPECT_FALSE(clock.Running());
}

TEST(Timer, ADeferredTickComesLaterAndThePeriodResumes) {
  TTimer timer(nullptr, "t", 10, true);
  TimerClock clock(timer);
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 1) timer.DeferNextTick(150);
  };
  ASSERT_TRUE(clock.Tick());
  EXPECT_EQ(clock.Period(), 150);  // the deferred tick
  ASSERT_TRUE(clock.Tick());
  EXPECT_EQ(clock.Period(), 10);  // then every 10 ms again
  EXPECT_EQ(ticks, 2);
}

TEST(Timer, ADeferralShorterThanTheIntervalOrOfAStoppedTimerChangesNothing) {
  TTimer timer(nullptr, "t", 500, true);
  TimerClock clock(timer);
  timer.OnTimer = [&] { timer.DeferNextTick(100); };
  ASSERT_TRUE(clock.Tick());
  EXPECT_EQ(clock.Period(), 500);
  timer.OnTimer = [&] {
    timer.DeferNextTick(2000);
    timer.SetEnabled(false);
  };
  ASSERT_TRUE(clock.Tick());
  EXPECT_FALSE(clock.Running());
}

TEST(Timer, AFailingTickShowsTheErrorAndTheTimerGoesOn) {
  BoxRecorder boxes;
  TTimer timer(nullptr, "t", 10, true);
  TimerClock clock(timer);
  timer.OnTimer = [&] { throw Exception("boom"); };
  ASSERT_TRUE(clock.Tick());
  ASSERT_TRUE(clock.Tick());
  EXPECT_TRUE(clock.Running());
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].text, "boom");
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(boxes.boxes()[0].caption, "Ovlix " OVLIX_VERSION);
}

TEST(SpinEdit, AnyTextAndNonNumbersReadAsZero) {
  TSpinEdit box(nullptr, "SporicMinuty", 5);
  EXPECT_EQ(box.Value(), 5);
  box.findChild<QLineEdit*>()->setText("deset");
  EXPECT_EQ(box.Text(), "deset");
  EXPECT_EQ(box.Value(), 0);
  box.SetValue(-3);
  box.stepBy(1);
  EXPECT_EQ(box.Value(), -2);
}

TEST(EditCombo, ItsTextIsItsOwn) {
  TEditCombo box(nullptr, "DriveCDROM", "Q:");
  box.SetItems({"E:", "F:"});
  EXPECT_EQ(box.Text(), "Q:");
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Items(), (QStringList{"E:", "F:"}));
  box.ClearItems();
  EXPECT_EQ(box.Text(), "Q:");
  EXPECT_EQ(box.count(), 0);
}

TEST(EditCombo, ItsListOpensAndPicksAnItem) {
  TEditCombo box(nullptr, "v1", "W");
  box.SetItems({"A", "B", "C"});
  box.show();
  box.showPopup();  // the list's window is built only now
  ASSERT_TRUE(box.view()->isVisible());
  EXPECT_EQ(box.view()->model()->rowCount(), 3);
  box.view()->setCurrentIndex(box.model()->index(1, 0));
  QTest::keyClick(box.view(), Qt::Key_Return);
  EXPECT_EQ(box.Text(), "B");
  EXPECT_EQ(box.ItemIndex(), 1);
  EXPECT_FALSE(box.view()->isVisible());
}

TEST(HandlerGuard, ShowsTheMessageAndSkipsTheRest) {
  BoxRecorder boxes;
  bool rest = false;
  Guard([&] {
    throw Exception("'x' is not a valid integer value");
    rest = true;
  });
  EXPECT_FALSE(rest);
  ASSERT_EQ(boxes.texts(), QStringList{"'x' is not a valid integer value"});
}

// On a dark palette an unchecked check box and an edit box keep an outline
// that stands out from the window: the palette's Mid, not a shade of the
// window colour.
TEST(ProgramStyle, FieldsAreOutlinedInThePalettesMid) {
  ProgramStyle style;
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x2B, 0x2D, 0x30));
  dark.setColor(QPalette::Base, QColor(0x1E, 0x1F, 0x22));
  dark.setColor(QPalette::Mid, QColor(0x83, 0x85, 0x88));
  QCheckBox box(QStringLiteral("Skrýt ikony"));
  QLineEdit edit(QStringLiteral("C:\\"));
  for (QWidget* field : std::initializer_list<QWidget*>{&box, &edit}) {
    field->setStyle(&style);
    field->setPalette(dark);
    field->resize(120, 22);
  }
  QStyleOptionButton option;
  option.initFrom(&box);
  QRect indicator = style.subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
  QImage boxImage = box.grab().toImage();
  EXPECT_EQ(boxImage.pixelColor(indicator.left(), indicator.center().y()), QColor(0x83, 0x85, 0x88));
  QImage editImage = edit.grab().toImage();
  EXPECT_EQ(editImage.pixelColor(0, edit.height() / 2), QColor(0x83, 0x85, 0x88));
}

}  // namespace

namespace {

// Answers the question box once it is up, with `act`; returns AskFirst's result.
bool Answered(const std::function<void(QMessageBox&)>& act) {
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(window); box != nullptr && box->isVisible()) {
        poll.stop();
        act(*box);
        return;
      }
  });
  poll.start(10);
  return AskFirst(QStringLiteral("Opravdu vypnout počítač?"));
}

QPushButton* ButtonOf(QMessageBox& box, const QString& text) {
  for (QAbstractButton* b : box.buttons())
    if (b->text() == text) return qobject_cast<QPushButton*>(b);
  return nullptr;
}

}  // namespace

TEST(QuestionBox, OnlyAnoSaysYes) {
  Application::SetTitle(QStringLiteral("Ovlix " OVLIX_VERSION));
  EXPECT_TRUE(Answered([](QMessageBox& box) {
    EXPECT_EQ(box.windowTitle(), "Ovlix " OVLIX_VERSION);
    EXPECT_EQ(box.text(), "Opravdu vypnout počítač?");
    EXPECT_EQ(box.buttons().size(), 2);
    EXPECT_EQ(box.defaultButton(), ButtonOf(box, "Ne"));
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    // as wide as any box of the caption, which the window manager writes whole
    EXPECT_GE(box.width(), MakeBox(BoxKind::Plain, box.windowTitle(), "x", nullptr)->sizeHint().width());
    ButtonOf(box, "Ano")->click();
  }));
  EXPECT_FALSE(Answered([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }));  // "Ne" is the default
  EXPECT_FALSE(Answered([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }));
  EXPECT_FALSE(Answered([](QMessageBox& box) { box.close(); }));
  EXPECT_FALSE(Answered([](QMessageBox& box) {
    auto* timeout = box.findChild<QTimer*>(QStringLiteral("QuestionTimeout"));
    ASSERT_NE(timeout, nullptr);
    EXPECT_EQ(timeout->interval(), 30000);
    EXPECT_TRUE(timeout->isActive());
    QMetaObject::invokeMethod(timeout, "timeout", Qt::DirectConnection);  // 30 s without an answer
  }));
}
