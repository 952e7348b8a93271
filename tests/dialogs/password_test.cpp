#include <QTimer>

#include "app/AddOnsGroup.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit7.h"
#include "platform/paths.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/fsize_limit.h"
#include "tests/support/launch_recorder.h"

namespace {

using Argv = std::vector<std::vector<std::string>>;

class FolderLockPassword : public FormsTest {
 protected:
  void SetUp() override {
    // the script exists and can be run, so the shell starts it directly
    root.Write(root.program() / "data" / "kspass.vbs", "#!/bin/sh\n");
    std::filesystem::permissions(root.program() / "data" / "kspass.vbs", std::filesystem::perms::owner_all);
    CreateForms();
  }
  std::string Setting(const char* key) { return TIniFile("Trelmo.ini").ReadString("blokovani", key, "<none>"); }
  Argv Script() { return {{platform::ProgramFolder() + "data/kspass.vbs"}}; }
  // Clicks the folder-lock button; `inside` runs while the dialog it opens
  // is on the screen.
  void Start(std::function<void()> inside) {
    QTimer::singleShot(0, [inside] { inside(); });
    Form1->addOns->sButton7->click();
  }
  LaunchRecorder launches;
};

TEST_F(FolderLockPassword, FirstUseSetsThePasswordAndStartsTheScript) {
  Start([this] {
    EXPECT_TRUE(Formnh->isVisible());
    EXPECT_FALSE(Formzh->isVisible());
    Formnh->sButton1->click();  // both boxes empty: the stored password is empty too
    EXPECT_FALSE(Formnh->isVisible());
  });
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Warning);
  EXPECT_EQ(
      boxes.boxes()[0].text,
      QString::fromStdString("Pokud zablokujete následující složky osud těchto složek je spečetěn. Jsou to: Složka se "
                             "systémem(běžně C:\\windows), složka s tímto programem ve vašem případě je to " +
                             platform::ProgramFolder() + ", a disk C:\\. Tyto složky vždy nechte být!!!"));
  EXPECT_EQ(Setting("heslo"), "");
  EXPECT_EQ(Setting("hesloje"), "1");
  EXPECT_EQ(launches.started(), Script());
  // from now on "Zadat heslo" asks, and takes the empty password
  Start([] {
    EXPECT_TRUE(Formzh->isVisible());
    Formzh->sButton2->click();
    EXPECT_FALSE(Formzh->isVisible());
  });
  EXPECT_EQ(launches.started().size(), 2u);
}

TEST_F(FolderLockPassword, ACurrentPasswordTypedOnFirstUseIsWrong) {
  Start([] {
    Formnh->Edit1->setText("cokoli");
    Formnh->Edit2->setText("nové");
    Formnh->sButton1->click();
    EXPECT_TRUE(Formnh->isVisible());
    EXPECT_EQ(Formnh->Edit1->text(), "cokoli");  // both keep their text
    EXPECT_EQ(Formnh->Edit2->text(), "nové");
    Formnh->sButton2->click();  // Cancel
  });
  EXPECT_EQ(boxes.texts().back(), "Zadali jste špatné stávající heslo");
  EXPECT_EQ(boxes.boxes().back().kind, BoxKind::Plain);
  EXPECT_EQ(Setting("hesloje"), "<none>");
  EXPECT_TRUE(launches.started().empty());
}

TEST_F(FolderLockPassword, TheStoredPasswordIsComparedExactly) {
  Settings("[blokovani]\nheslo=Tajne\nhesloje=1\n");
  Start([] {
    for (const char* wrong : {"tajne", "Tajne ", "Tajn", ""}) {
      Formzh->Edit1->setText(QString::fromUtf8(wrong));
      Formzh->sButton2->click();
      EXPECT_TRUE(Formzh->isVisible());
      EXPECT_EQ(Formzh->Edit1->text(), QString::fromUtf8(wrong));
    }
    Formzh->Edit1->setText("Tajne");
    Formzh->sButton2->click();
    EXPECT_FALSE(Formzh->isVisible());
    EXPECT_TRUE(Formzh->Edit1->text().isEmpty());
  });
  QStringList expected(4, "Zadali jste špatné heslo, prosím zkontrolujte ho.");
  EXPECT_EQ(boxes.texts().mid(1), expected);
  EXPECT_EQ(launches.started(), Script());
}

TEST_F(FolderLockPassword, ChangingThePassword) {
  Settings("[blokovani]\nheslo=staré\nhesloje=1\n");
  // "Změnit heslo", then Cancel: both close, nothing written, nothing started
  Start([] {
    QTimer::singleShot(0, [] {
      EXPECT_TRUE(Formnh->isVisible());
      Formnh->sButton2->click();
    });
    Formzh->sButton3->click();
    EXPECT_FALSE(Formzh->isVisible());
  });
  EXPECT_EQ(Setting("heslo"), "staré");
  EXPECT_TRUE(launches.started().empty());
  // with the old password: the new one is stored and the script starts
  Start([] {
    QTimer::singleShot(0, [] {
      Formnh->Edit1->setText("staré");
      Formnh->Edit2->setText("Nové heslo");
      Formnh->sButton1->click();
      EXPECT_TRUE(Formnh->Edit1->text().isEmpty());
      EXPECT_TRUE(Formnh->Edit2->text().isEmpty());
    });
    Formzh->sButton3->click();
    EXPECT_FALSE(Formzh->isVisible());
  });
  EXPECT_EQ(Setting("heslo"), "Nové heslo");
  EXPECT_EQ(launches.started(), Script());
  EXPECT_EQ(boxes.boxes().size(), 2u);  // the two warnings only
}

// Blanks and quotes around a password are part of it: it is taken back
// exactly as it was typed when set, and not in the form a plain read of the
// settings file would make of it.
TEST_F(FolderLockPassword, EveryPasswordIsTakenBackAsTyped) {
  struct Case {
    const char* password;
    const char* trimmed;  // what a plain read would make of it
  };
  const Case cases[] = {{" heslo ", "heslo"}, {"\"x\"", "x"}, {"'y'", "y"},
                        {"a\"b", nullptr},    {"  ", ""},     {"", nullptr}};
  QString previous;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    QString password = QString::fromUtf8(cases[i].password);
    if (i == 0) {  // first use
      Start([&] {
        Formnh->Edit2->setText(password);
        Formnh->sButton1->click();
      });
    } else {  // "Změnit heslo" with the one set before
      Start([&] {
        QTimer::singleShot(0, [&] {
          Formnh->Edit1->setText(previous);
          Formnh->Edit2->setText(password);
          Formnh->sButton1->click();
          EXPECT_FALSE(Formnh->isVisible()) << '[' << cases[i - 1].password << ']';
          if (Formnh->isVisible()) Formnh->sButton2->click();
        });
        Formzh->sButton3->click();
      });
    }
    Start([&] {
      if (cases[i].trimmed) {
        Formzh->Edit1->setText(QString::fromUtf8(cases[i].trimmed));
        Formzh->sButton2->click();
        EXPECT_TRUE(Formzh->isVisible()) << '[' << cases[i].password << ']';
      }
      Formzh->Edit1->setText(password);
      Formzh->sButton2->click();
      EXPECT_FALSE(Formzh->isVisible()) << '[' << cases[i].password << ']';
      if (Formzh->isVisible()) Formzh->sButton1->click();
    });
    EXPECT_EQ(Setting("heslo"), cases[i].password);
    previous = password;
  }
  EXPECT_EQ(launches.started().size(), 2 * std::size(cases));
  EXPECT_EQ(boxes.texts().count("Zadali jste špatné heslo, prosím zkontrolujte ho."), 4);
}

TEST_F(FolderLockPassword, OnlyZeroMeansNoPasswordYet) {
  for (const char* flag : {"ano", ""}) {
    Settings(std::string("[blokovani]\nhesloje=") + flag + "\n");
    Start([] {
      EXPECT_TRUE(Formzh->isVisible());
      Formzh->sButton1->click();
    });
  }
  Settings("[blokovani]\nhesloje=0\n");
  Start([] {
    EXPECT_TRUE(Formnh->isVisible());
    Formnh->sButton2->click();
  });
  EXPECT_TRUE(launches.started().empty());
}

TEST_F(FolderLockPassword, AFailedWriteStartsNothing) {
  Settings(std::string(150, ';') + "\n");
  Start([] {
    {
      FileSizeLimit full(160);
      Formnh->Edit2->setText(QString(40, 'x'));
      Formnh->sButton1->click();
    }
    EXPECT_TRUE(Formnh->isVisible());
    Formnh->sButton2->click();
  });
  EXPECT_TRUE(boxes.texts().back().startsWith("Unable to write to"));
  EXPECT_TRUE(launches.started().empty());
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"), std::string(150, ';') + "\n");
}

}  // namespace
