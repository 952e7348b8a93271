#include <QTest>

#include "actions/PowerGroup.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/power_recorder.h"

namespace {

using PowerButtons = FormsTest;
using Requests = std::vector<PowerRecorder::Request>;

TEST_F(PowerButtons, EachButtonIssuesAForcedLogOffThenItsOwnRequest) {
  CreateForms();
  Form1->show();
  struct Route {
    QPushButton* button;
    QString caption;
    UINT second;
  } routes[] = {
      {Form1->power->sButton2, "Vypnout počítač", EWX_SHUTDOWN},
      {Form1->power->sButton3, "Restartovat počítač", EWX_REBOOT},
      {Form1->power->sButton4, "Odhlásit uživatele", EWX_LOGOFF},
  };
  for (const auto& route : routes) {
    PowerRecorder power;
    EXPECT_EQ(route.button->text(), route.caption);
    QTest::mouseClick(route.button, Qt::LeftButton);
    EXPECT_EQ(power.requests(), (Requests{{4, 0}, {route.second, 0}})) << route.caption.toStdString();
  }
}

}  // namespace
