#include <QLineEdit>
#include <QTest>

#include "actions/BlinkerGroup.h"
#include "platform/keyboard.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/timer_clock.h"

namespace {

using platform::LockState;

class Blinker : public FormsTest {
 protected:
  void SetUp() override {
    auto owned = std::make_unique<platform::MemoryLockLights>();
    lights = owned.get();
    previous_ = platform::SetLockLights(std::move(owned));
  }
  void TearDown() override {
    FormsTest::TearDown();
    platform::SetLockLights(std::move(previous_));
  }

  // "N", "C", "S" for the light that is on, "-" for none, "NCS" for all.
  std::string Lit() const {
    const LockState& s = lights->state();
    std::string out = std::string(s.num ? "N" : "") + (s.caps ? "C" : "") + (s.scroll ? "S" : "");
    return out.empty() ? "-" : out;
  }
  std::string Speed() { return TIniFile("Trelmo.ini").ReadString("Nastaveni", "BlikaniRychlost", "<none>"); }

  platform::MemoryLockLights* lights = nullptr;
  std::unique_ptr<platform::LockLights> previous_;
};

TEST_F(Blinker, TheLightRunsBackAndForth) {
  CreateForms();
  BlinkerGroup* blinker = Form1->blinker;
  lights->state().caps = true;  // switched on with Caps on and Num off
  blinker->RychlostBlikani->SetValue(500);
  QTest::mouseClick(blinker->sButton5, Qt::LeftButton);
  EXPECT_EQ(Lit(), "N");
  EXPECT_TRUE(Form1->Timer3->Enabled());
  EXPECT_EQ(Form1->Timer3->Interval(), 500u);
  EXPECT_EQ(Speed(), "500");
  std::string run;
  for (int i = 0; i < 8; ++i) {
    blinker->Timer3Timer();
    run += Lit();
  }
  EXPECT_EQ(run, "CSCNCSCN");

  blinker->RychlostBlikani->SetValue(120);
  blinker->Button8Click();  // off: the lights as they were before, the speed stored
  EXPECT_FALSE(Form1->Timer3->Enabled());
  EXPECT_EQ(Lit(), "C");
  EXPECT_EQ(Speed(), "120");
}

// Where no program can reach the keyboard's lights (a Wayland session) the
// blinker says so once, and nothing ticks.
TEST_F(Blinker, LightsOutOfReachAreToldOnce) {
  class Unreachable : public platform::MemoryLockLights {
    bool Reachable() const override { return false; }
  };
  platform::SetLockLights(std::make_unique<Unreachable>());
  CreateForms();
  BlinkerGroup* blinker = Form1->blinker;
  blinker->RychlostBlikani->SetValue(300);
  blinker->Button8Click();
  blinker->Button8Click();
  EXPECT_FALSE(Form1->Timer3->Enabled());
  EXPECT_EQ(boxes.texts(), QStringList{"V tomto prostředí nemohou programy ovládat světla klávesnice."});
  EXPECT_EQ(Speed(), "300");
}

TEST_F(Blinker, NoLightOnShowsOneMessageAtATime) {
  CreateForms();
  BlinkerGroup* blinker = Form1->blinker;
  blinker->ToggleBlinker();
  lights->Write(false, false, false);
  int nested = 0;
  SetBoxPresenter([&](BoxKind kind, const QString& caption, const QString& text) {
    EXPECT_EQ(kind, BoxKind::Plain);
    EXPECT_EQ(caption, "Ovlix " OVLIX_VERSION);
    EXPECT_EQ(text, "Nastala chyba při provádění funkce blikání!");
    ++nested;
    blinker->Timer3Timer();  // a tick while the box is open does nothing
    blinker->Timer3Timer();
  });
  blinker->Timer3Timer();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(Lit(), "-");
  blinker->Timer3Timer();  // a later tick that finds no light shows it again
  EXPECT_EQ(nested, 2);
  EXPECT_TRUE(Form1->Timer3->Enabled());
}

TEST_F(Blinker, AHeldLockKeyIsNotOn) {
  CreateForms();
  lights->Write(true, false, false);
  lights->state().numHeld = true;
  int shown = 0;
  SetBoxPresenter([&](BoxKind, const QString&, const QString&) { ++shown; });
  Form1->blinker->Timer3Timer();
  EXPECT_EQ(shown, 1);
}

TEST_F(Blinker, ANegativeSpeedIsRefusedAfterTheSwitch) {
  CreateForms();
  Form1->blinker->RychlostBlikani->SetValue(-10);
  Form1->blinker->sButton5->click();
  EXPECT_EQ(boxes.texts(), QStringList{"Range check error"});
  EXPECT_TRUE(Form1->Timer3->Enabled());  // inverted before the refusal
  EXPECT_EQ(Form1->Timer3->Interval(), 250u);
  EXPECT_EQ(Speed(), "<none>");
}

TEST_F(Blinker, SpeedZeroNeverTicks) {
  CreateForms();
  Form1->blinker->RychlostBlikani->findChild<QLineEdit*>()->setText("rychle");
  Form1->blinker->ToggleBlinker();
  EXPECT_TRUE(Form1->Timer3->Enabled());
  EXPECT_EQ(Speed(), "0");
  EXPECT_FALSE(TimerClock(*Form1->Timer3).Running());
  EXPECT_EQ(Lit(), "N");
}

TEST_F(Blinker, TheStartUpSwitchesItOn) {
  Settings("[Nastaveni]\nBlikaniPriSpusteni=1\nBlikaniRychlost=40\n");
  CreateForms();
  EXPECT_TRUE(Form1->Timer3->Enabled());
  EXPECT_EQ(Form1->Timer3->Interval(), 40u);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Lit() == "C"; }, 2000));
}

}  // namespace
