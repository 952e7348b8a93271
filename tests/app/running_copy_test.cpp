// A second start hands itself to the running copy: the window comes
// forward, a named file opens in the resource explorer.
#include "app/running_copy.h"

#include <QLocalSocket>
#include <QTest>
#include <atomic>
#include <thread>

#include "platform/paths.h"
#include "resx/RXMain.h"
#include "tests/resx/pe_writer.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/forms_fixture.h"

namespace {

class RunningCopy : public FormsTest {
 protected:
  void TearDown() override {
    FormsTest::TearDown();
    qunsetenv("XDG_ACTIVATION_TOKEN");
  }
  // What a second start would do, from a thread of its own as from a
  // process of its own; true once the running copy took it.
  static bool StartAgain(const StartRequest& request) {
    std::atomic<bool> done = false;
    bool taken = false;
    std::thread second([&] {
      taken = HandToRunningCopy(request);
      done = true;
    });
    // the running copy answers from its event loop, which this turns
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    second.join();
    return taken;
  }
  FakeDesktop desktop;
};

TEST_F(RunningCopy, NoCopyRunningTakesNothing) {
  EXPECT_FALSE(HandToRunningCopy({}));  // at once: no one listens
}

TEST_F(RunningCopy, ASecondStartBringsTheHiddenOrMinimisedWindowForward) {
  CreateForms();
  ASSERT_FALSE(Form1->isVisible());  // hidden in the tray
  EXPECT_TRUE(StartAgain({{}, QStringLiteral("launcher-token")}));
  ASSERT_TRUE(QTest::qWaitFor([] { return Form1->isVisible(); }, 5000));
  // the token is the toolkit's to take for the activation
  EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), "launcher-token");

  Form1->showMinimized();
  EXPECT_TRUE(StartAgain({}));
  ASSERT_TRUE(QTest::qWaitFor([] { return !Form1->isMinimized(); }, 5000));
  EXPECT_FALSE(KSRE->isVisible());
}

TEST_F(RunningCopy, AFileOfASecondStartOpensInTheExplorer) {
  CreateForms();
  std::string library = (root.dir() / "lib.dll").string();
  root.Write(library, BuildPe({Dir(5u, {Named(1u, std::string(20, 'd'))})}).bytes);
  EXPECT_TRUE(StartAgain({QString::fromStdString(library), {}}));
  ASSERT_TRUE(QTest::qWaitFor([] { return KSRE->isVisible(); }, 5000));
  EXPECT_EQ(KSRE->windowTitle(), "Resource Explorer - " + QString::fromStdString(library).toLower());
  EXPECT_EQ(KSRE->TreeView->topLevelItemCount(), 1);
  EXPECT_TRUE(Form1->isVisible());  // under it
  EXPECT_TRUE(boxes.boxes().empty());

  // a name that is no file (gone meanwhile) brings only the window
  KSRE->hide();
  Form1->hide();
  EXPECT_TRUE(StartAgain({QString::fromStdString((root.dir() / "gone.dll").string()), {}}));
  ASSERT_TRUE(QTest::qWaitFor([] { return Form1->isVisible(); }, 5000));
  EXPECT_FALSE(KSRE->isVisible());
}

// A copy that crashed left its socket behind; the lock says it is gone.
TEST_F(RunningCopy, ASocketLeftByACrashIsTakenOver) {
  root.Write(platform::RunDirectory() / "Ovlix.socket", "");
  CreateForms();
  EXPECT_TRUE(StartAgain({}));
}

// A start that never finishes its message holds nothing up.
TEST_F(RunningCopy, AHalfMessageIsDropped) {
  CreateForms();
  QLocalSocket half;
  half.connectToServer(QString::fromStdString((platform::RunDirectory() / "Ovlix.socket").string()));
  ASSERT_TRUE(half.waitForConnected(2000));
  half.write("\0\0", 2);
  ASSERT_TRUE(half.waitForBytesWritten(2000));
  EXPECT_TRUE(StartAgain({}));
  EXPECT_TRUE(QTest::qWaitFor([&] { return half.state() == QLocalSocket::UnconnectedState; }, 5000));
}

}  // namespace
