#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include "framework/edit_combo.h"
#include "framework/exception.h"
#include "framework/handler_guard.h"
#include "framework/program_style.h"
#include "framework/spin_edit.h"
#include "framework/timer.h"
#include "tests/support/box_recorder.h"

namespace {

TEST(Timer, IntervalRules) {
  int ticks = 0;
  TTimer zero(nullptr, "zero", 0, true);
  zero.OnTimer = [&] { ++ticks; };
  TTimer fast(nullptr, "fast", 1, true);
  int fastTicks = 0;
  fast.OnTimer = [&] { ++fastTicks; };
  QElapsedTimer clock;
  clock.start();
  QTest::qWait(120);
  qint64 elapsed = clock.elapsed();
  EXPECT_EQ(ticks, 0);  // interval 0 never ticks
  // never faster than the 10 ms minimum period
  EXPECT_LE(fastTicks, elapsed / TTimer::kMinimumPeriod + 1);
  EXPECT_GT(fastTicks, 0);

  try {
    fast.SetInterval(-5);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Range check error");
  }
  EXPECT_EQ(fast.Interval(), 1u);
  EXPECT_TRUE(fast.Enabled());
}

TEST(Timer, ADeferredTickComesLaterAndThePeriodResumes) {
  TTimer timer(nullptr, "t", 10, true);
  QElapsedTimer clock;
  std::vector<qint64> at;
  timer.OnTimer = [&] {
    at.push_back(clock.elapsed());
    if (at.size() == 1) timer.DeferNextTick(150);
  };
  clock.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return at.size() >= 4; }, 2000));
  EXPECT_GE(at[1] - at[0], 140);  // the deferred tick
  EXPECT_LT(at[3] - at[2], 100);  // then every 10 ms again
}

TEST(Timer, AFailingTickShowsTheErrorAndTheTimerGoesOn) {
  BoxRecorder boxes;
  TTimer timer(nullptr, "t", 10, true);
  int ticks = 0;
  timer.OnTimer = [&] {
    ++ticks;
    throw Exception("boom");
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
  timer.SetEnabled(false);
  ASSERT_GE(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].text, "boom");
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(boxes.boxes()[0].caption, "Ovlix 4.50.200");
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
