#include <QSignalSpy>

#include "framework/registry_access.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/fsize_limit.h"
#include "tweaks/PoliciesGroup.h"

namespace {

const char* kKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

class Policies : public FormsTest {
 protected:
  void SetUp() override { CreateForms(); }
  PoliciesGroup* group() { return Form1->policies; }
  std::optional<std::uint32_t> Dword(const char* name) {
    TRegistry reg;
    reg.OpenKey(kKey, false);
    if (!reg.ValueExists(name)) return std::nullopt;
    return static_cast<std::uint32_t>(reg.ReadInteger(name));
  }
  void Store(const char* name, int value) {
    TRegistry reg;
    reg.OpenKey(kKey, true);
    reg.WriteInteger(name, value);
  }
  static constexpr const char* kSix[6] = {"NoDesktop", "NoSetFolders", "NoSetTaskbar", "NoRun", "NoFind", "NoDrives"};
  const QString kDone = "Vaše nastavení bylo úspěšně provedeno. Změny se projeví až po restartu systému!";
};

TEST_F(Policies, UntouchedControlsRemoveAllSixValues) {
  for (const char* name : kSix) Store(name, 1);
  Store("NOSETTASKBAR", 1);  // any spelling is the same value
  group()->sButton20->click();
  for (const char* name : kSix) EXPECT_FALSE(Dword(name)) << name;
  ASSERT_EQ(boxes.texts(), QStringList{kDone});
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Information);
  EXPECT_EQ(boxes.boxes()[0].caption, "Information");
  EXPECT_TRUE(group()->Progres->isHidden());
}

TEST_F(Policies, CheckedBoxesWriteOnesAndTheBarMovesInSteps) {
  for (QCheckBox* box : {group()->IkonyPlocha, group()->NastaveniSystemu, group()->NastaveniListy,
                         group()->SpustitStart, group()->NajitStart})
    box->setChecked(true);
  QSignalSpy steps(group()->Progres, &QProgressBar::valueChanged);
  group()->Button13Click();
  for (const char* name : {"NoDesktop", "NoSetFolders", "NoSetTaskbar", "NoRun", "NoFind"}) EXPECT_EQ(Dword(name), 1u);
  EXPECT_FALSE(Dword("NoDrives"));
  QList<int> seen;
  for (const auto& step : steps) seen << step.at(0).toInt();
  EXPECT_EQ(seen, (QList<int>{17, 34, 51, 68, 85, 100}));
}

TEST_F(Policies, OneBarredDriveAtATimeMatchedExactly) {
  group()->PristupDisk->setChecked(true);
  group()->Disky->SetText("D:");
  group()->Button13Click();
  EXPECT_EQ(Dword("NoDrives"), 8u);
  group()->Disky->SetText("N:");
  group()->Button13Click();
  EXPECT_EQ(Dword("NoDrives"), 8192u);
  for (const char* text : {"O:", "d:", "D:\\", "D: "}) {
    group()->Disky->SetText(text);
    QSignalSpy steps(group()->Progres, &QProgressBar::valueChanged);
    group()->Button13Click();
    EXPECT_EQ(Dword("NoDrives"), 8192u) << text;
    EXPECT_EQ(steps.last().at(0).toInt(), 85);  // the bar stays
  }
  EXPECT_EQ(boxes.texts().size(), 6);
}

TEST_F(Policies, AFailedWriteStopsTheHandler) {
  group()->IkonyPlocha->setChecked(true);
  {
    FileSizeLimit full(8);
    group()->sButton20->click();
  }
  EXPECT_EQ(boxes.texts(), QStringList{"Failed to set data for 'NoDesktop'"});
  EXPECT_FALSE(group()->Progres->isHidden());
}

}  // namespace
