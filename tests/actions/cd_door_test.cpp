#include <QTest>

#include "actions/CdDoorGroup.h"
#include "actions/cd_door.h"
#include "platform/mci.h"
#include "tests/support/fake_cd.h"
#include "tests/support/forms_fixture.h"

namespace {

using namespace platform;

struct Sent {
  MCIDEVICEID device;
  UINT message;
  std::uintptr_t flags;
  std::string type, element;  // of an open block
  MCIERROR result;
  bool operator==(const Sent&) const = default;
};

class CdDoor : public FormsTest {
 protected:
  void SetUp() override {
    SetMciTrace([this](MCIDEVICEID device, UINT message, std::uintptr_t flags, std::uintptr_t param, MCIERROR rc) {
      Sent s{device, message, flags, {}, {}, rc};
      if (message == MCI_OPEN && param != 0) {
        auto* block = reinterpret_cast<const MCI_OPEN_PARMSA*>(param);
        s.type = block->lpstrDeviceType ? block->lpstrDeviceType : "";
        s.element = block->lpstrElementName ? block->lpstrElementName : "";
      }
      sent.push_back(s);
    });
  }
  void TearDown() override {
    SetMciTrace({});
    FormsTest::TearDown();
  }
  std::string Stored() { return TIniFile("Trelmo.ini").ReadString("CDROM", "driveCD", "<none>"); }

  // The machine's one CD drive is E: (D: is given to nothing).
  FakeCdScope cd{{"/dev/sr0"}};
  std::vector<Sent> sent;
};

std::vector<Sent> Sequence(MCIDEVICEID id, const std::string& drive, DWORD door) {
  return {{0, MCI_OPEN, 0x2200, "CDAudio", drive, 0}, {id, MCI_SET, door, {}, {}, 0}, {id, MCI_CLOSE, 0, {}, {}, 0}};
}

TEST_F(CdDoor, OpenAndCloseSendTheThreeCommandsAndStoreTheDrive) {
  root.Write(root.config() / "drives.ini", "[Drives]\nD:=\nE:=/dev/sr0\n");
  CreateForms();
  EXPECT_EQ(Form1->cdDoor->DriveCDROM->Items(), QStringList{"E:"});
  Form1->cdDoor->DriveCDROM->SetText("E:");
  QTest::mouseClick(Form1->cdDoor->sButton24, Qt::LeftButton);
  EXPECT_EQ(sent, Sequence(1, "E:", 0x100));
  EXPECT_EQ(cd.fake->log, (std::vector<std::string>{"open /dev/sr0", "eject", "close"}));
  EXPECT_EQ(Stored(), "E:");

  sent.clear();
  Form1->cdDoor->Button18Click();
  Form1->cdDoor->Button18Click();
  auto twice = Sequence(1, "E:", 0x200);
  auto second = Sequence(1, "E:", 0x200);
  twice.insert(twice.end(), second.begin(), second.end());
  EXPECT_EQ(sent, twice);  // two closes, two whole sequences
}

TEST_F(CdDoor, ADriveThatIsNoCdSendsOnlyTheFailingOpenAndIsStored) {
  CreateForms();
  Form1->cdDoor->DriveCDROM->SetText("Q:");
  Form1->cdDoor->Button17Click();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].message, MCI_OPEN);
  EXPECT_NE(sent[0].result, 0u);
  EXPECT_TRUE(cd.fake->log.empty());
  EXPECT_EQ(Stored(), "Q:");
  EXPECT_TRUE(boxes.boxes().empty());
  DestroyForms();
  CreateForms();  // the next start shows it again
  EXPECT_EQ(Form1->cdDoor->DriveCDROM->Text(), "Q:");
}

TEST_F(CdDoor, ADoorWithoutAMotorStillReleasesTheDevice) {
  cd.fake->noMotor = true;
  OpenCDDoor("D:");  // the default map gives the first CD drive D:
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_NE(sent[1].result, 0u);
  EXPECT_EQ(sent[2].message, MCI_CLOSE);
  EXPECT_EQ(cd.fake->log.back(), "close");
}

TEST_F(CdDoor, TheStandInRefusesWhatItCannotServe) {
  MCI_OPEN_PARMSA block;
  block.lpstrDeviceType = "WaveAudio";
  block.lpstrElementName = "D:";
  EXPECT_NE(mciSendCommandA(0, MCI_OPEN, 0x2200, reinterpret_cast<std::uintptr_t>(&block)), 0u);
  block.lpstrDeviceType = "cdaudio";
  cd.fake->failOpen = true;
  EXPECT_NE(mciSendCommandA(0, MCI_OPEN, 0x2200, reinterpret_cast<std::uintptr_t>(&block)), 0u);
  EXPECT_NE(mciSendCommandA(77, MCI_SET, MCI_SET_DOOR_OPEN, 0), 0u);  // no such device
  EXPECT_NE(mciSendCommandA(77, MCI_CLOSE, 0, 0), 0u);
}

TEST_F(CdDoor, AFailedStoreIsReported) {
  CreateForms();
  root.Write(root.windows(), "a file where the Windows folder should be");
  Form1->cdDoor->sButton24->click();
  EXPECT_EQ(boxes.texts(), QStringList{"Unable to write to Trelmo.ini"});
}

}  // namespace
