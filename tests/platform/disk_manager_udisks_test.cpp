// The udisks2 disk manager against a fake udisks2 on a private bus, which
// the test makes the system bus (the test runs under dbus-run-session), and
// against the fake CD devices. The fake answers on a thread of its own; the
// manager does not wait for its answers, the window goes on meanwhile.
#include "platform/disk_manager_udisks.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstring>
#include <mutex>

#include "actions/CdDoorGroup.h"
#include "actions/cd_door.h"
#include "tests/support/fake_cd.h"
#include "tests/support/forms_fixture.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kRoot = QStringLiteral("/org/freedesktop/UDisks2");
const QString kBlocks = kRoot + QStringLiteral("/block_devices/");
const QString kDvd = kRoot + QStringLiteral("/drives/DVD_RW");
const QString kDisk = kRoot + QStringLiteral("/drives/SSD");

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

// udisks2's byte strings end in a NUL.
QByteArray Bytes(const char* text) { return QByteArray(text, static_cast<qsizetype>(std::strlen(text) + 1)); }

// A block device as udisks2 shows it.
struct Device {
  QString name;                          // "sr0p1"
  const char* device;                    // "/dev/sr0p1"
  QString drive;                         // the Drive object, of a whole disc
  QString table;                         // the whole disc, of a partition
  std::vector<const char*> mountPoints;  // empty: not mounted
  bool filesystem = true;                // false: nothing to mount
};

Interfaces Objects(const Device& d) {
  Interfaces object;
  object[QStringLiteral("org.freedesktop.UDisks2.Block")] = {
      {QStringLiteral("Device"), Bytes(d.device)},
      {QStringLiteral("Drive"),
       QVariant::fromValue(QDBusObjectPath(d.drive.isEmpty() ? QStringLiteral("/") : d.drive))}};
  if (!d.table.isEmpty())
    object[QStringLiteral("org.freedesktop.UDisks2.Partition")] = {
        {QStringLiteral("Table"), QVariant::fromValue(QDBusObjectPath(kBlocks + d.table))}};
  if (d.filesystem) {
    QByteArrayList points;
    for (const char* p : d.mountPoints) points << Bytes(p);
    object[QStringLiteral("org.freedesktop.UDisks2.Filesystem")] = {
        {QStringLiteral("MountPoints"), QVariant::fromValue(points)}};
  }
  return object;
}

// Answers GetManagedObjects, Filesystem.Unmount and Drive.Eject below
// /org/freedesktop/UDisks2 and records every call.
class FakeUdisks : public QDBusVirtualObject {
 public:
  void Add(const Device& d) {
    std::lock_guard lock(mutex_);
    objects_[QDBusObjectPath(kBlocks + d.name)] = Objects(d);
  }
  void AddDrive(const QString& path) {
    std::lock_guard lock(mutex_);
    objects_[QDBusObjectPath(path)] = {{QStringLiteral("org.freedesktop.UDisks2.Drive"), {}}};
  }
  // The method answered with udisks2's error.
  void Refuse(const QString& method) {
    std::lock_guard lock(mutex_);
    refused_ = method;
  }
  std::vector<std::string> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  // Keeps the answers to the method until Release.
  void Hold(const QString& method) {
    std::lock_guard lock(mutex_);
    held_ = method;
  }
  void Release() {
    std::lock_guard lock(mutex_);
    for (auto& [reply, connection] : waiting_) connection.send(reply);
    waiting_.clear();
    held_.clear();
  }

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    std::lock_guard lock(mutex_);
    std::string call = (message.member() + QLatin1Char(' ') + message.path()).toStdString();
    // every action goes without asking the user for a password
    auto options = qdbus_cast<QVariantMap>(message.arguments().value(0));
    if (message.member() != QLatin1String("GetManagedObjects") &&
        !options.value(QStringLiteral("auth.no_user_interaction")).toBool())
      call += " (may ask the user)";
    calls_.push_back(call);
    QDBusMessage reply;
    if (message.member() == refused_)
      reply = message.createErrorReply(QStringLiteral("org.freedesktop.UDisks2.Error.DeviceBusy"),
                                       QStringLiteral("target is busy"));
    else if (message.member() == QLatin1String("GetManagedObjects"))
      reply = message.createReply(QVariant::fromValue(objects_));
    else
      reply = message.createReply();
    if (message.member() == held_)
      waiting_.emplace_back(reply, connection);
    else
      connection.send(reply);
    return true;
  }

 private:
  std::mutex mutex_;
  ManagedObjects objects_;
  QString refused_;
  QString held_;
  std::vector<std::pair<QDBusMessage, QDBusConnection>> waiting_;
  std::vector<std::string> calls_;
};

class UdisksDoor : public FormsTest {
 protected:
  static void SetUpTestSuite() {
    // the manager looks on the system bus: make it the test's private bus
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", qgetenv("DBUS_SESSION_BUS_ADDRESS"));
    qDBusRegisterMetaType<QByteArrayList>();
    qDBusRegisterMetaType<Interfaces>();
    qDBusRegisterMetaType<ManagedObjects>();
  }

  void SetUp() override {
    ASSERT_FALSE(qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty()) << "run under dbus-run-session";
    previous_ = platform::SetDiskManager(platform::MakeUdisksDiskManager());
  }

  void TearDown() override {
    if (started_) {
      udisks_.unregisterObject(kRoot, QDBusConnection::UnregisterTree);
      udisks_.unregisterService(kService);
    }
    if (service_.isRunning()) {
      fake_->deleteLater();  // on its thread, as that ends
      service_.quit();
      service_.wait();
    } else {
      delete fake_;
    }
    platform::SetDiskManager(std::move(previous_));
    FormsTest::TearDown();
  }

  // udisks2 comes on the bus with the machine's system disk and a DVD drive.
  void StartUdisks() {
    fake_->Add({QStringLiteral("sda1"), "/dev/sda1", kDisk, {}, {"/"}});
    fake_->AddDrive(kDisk);
    fake_->AddDrive(kDvd);
    ASSERT_TRUE(udisks_.registerVirtualObject(kRoot, fake_, QDBusConnection::SubPath));
    ASSERT_TRUE(udisks_.registerService(kService));
    started_ = true;
    fake_->moveToThread(&service_);  // with what registering made
    service_.start();
  }

  std::vector<std::string> Ejected(const std::vector<std::string>& unmounted) {
    std::vector<std::string> calls{"GetManagedObjects " + kRoot.toStdString()};
    for (const std::string& name : unmounted) calls.push_back("Unmount " + (kBlocks.toStdString() + name));
    calls.push_back("Eject " + kDvd.toStdString());
    return calls;
  }

  // Waits until the fake CD devices' log reads `log`.
  bool CdLogIs(const std::vector<std::string>& log) {
    return QTest::qWaitFor([&] { return cd.fake->log == log; }, 5000) || cd.fake->log == log;
  }
  bool CallsAre(const std::vector<std::string>& calls) {
    return QTest::qWaitFor([&] { return fake_->Calls() == calls; }, 5000) || fake_->Calls() == calls;
  }

  const std::vector<std::string> kernelEject{"open /dev/sr0", "eject", "close"};
  // the manager failed after the door command had closed the device
  const std::vector<std::string> laterKernelEject{"open /dev/sr0", "close", "open /dev/sr0", "eject", "close"};
  const std::vector<std::string> managerEject{"open /dev/sr0", "close"};
  FakeCdScope cd{{"/dev/sr0"}};  // D:
  QDBusConnection udisks_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-udisks"));
  QThread service_;
  FakeUdisks* fake_ = new FakeUdisks;
  bool started_ = false;
  std::unique_ptr<platform::DiskManager> previous_;
};

TEST_F(UdisksDoor, OtevritUnmountsAMountedDiscThenEjectsIt) {
  StartUdisks();
  fake_->Add({QStringLiteral("sr0"), "/dev/sr0", kDvd, {}, {"/media/user/DATA"}});
  CreateForms();
  Form1->cdDoor->DriveCDROM->SetText("D:");
  QTest::mouseClick(Form1->cdDoor->sButton24, Qt::LeftButton);
  EXPECT_TRUE(CallsAre(Ejected({"sr0"})));
  QTest::qWait(50);  // no kernel request follows the manager's eject
  // udisks2 ejected it: the kernel was asked for nothing but the device
  EXPECT_EQ(cd.fake->log, managerEject);
  EXPECT_TRUE(boxes.boxes().empty());
}

// The manager may take seconds to flush a disc and move the tray: the
// window answers all the while, and the result is the same.
TEST_F(UdisksDoor, TheWindowAnswersWhileTheManagerWorks) {
  StartUdisks();
  fake_->Add({QStringLiteral("sr0"), "/dev/sr0", kDvd, {}, {"/media/user/DATA"}});
  fake_->Hold(QStringLiteral("Eject"));
  CreateForms();
  Form1->cdDoor->DriveCDROM->SetText("D:");
  Form1->cdDoor->Button17Click();
  // back at once, the drive stored, the eject on its way
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("CDROM", "driveCD", ""), "D:");
  ASSERT_TRUE(CallsAre(Ejected({"sr0"})));
  bool ticked = false;
  QTimer::singleShot(0, [&] { ticked = true; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }, 1000));
  EXPECT_EQ(cd.fake->log, managerEject);
  fake_->Release();
  QTest::qWait(100);
  EXPECT_EQ(cd.fake->log, managerEject);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(UdisksDoor, EveryMountedFileSystemOfTheDiscsPartitionsAndNoOtherIsUnmounted) {
  StartUdisks();
  fake_->Add({QStringLiteral("sr0"), "/dev/sr0", kDvd, {}, {}, false});
  fake_->Add({QStringLiteral("sr0p1"), "/dev/sr0p1", {}, QStringLiteral("sr0"), {"/media/user/BOOT"}});
  fake_->Add({QStringLiteral("sr0p2"), "/dev/sr0p2", {}, QStringLiteral("sr0"), {}});  // not mounted
  fake_->Add({QStringLiteral("sr0p3"), "/dev/sr0p3", {}, QStringLiteral("sr0"), {"/media/user/A", "/mnt/a"}});
  fake_->Add({QStringLiteral("sr1"), "/dev/sr1", kDisk, {}, {"/media/user/OTHER"}});
  OpenCDDoor("D:");
  EXPECT_TRUE(CallsAre(Ejected({"sr0p1", "sr0p3"})));
  QTest::qWait(50);
  EXPECT_EQ(cd.fake->log, managerEject);
}

TEST_F(UdisksDoor, ADiscThatIsNotMountedIsEjectedAtOnce) {
  StartUdisks();
  fake_->Add({QStringLiteral("sr0"), "/dev/sr0", kDvd, {}, {}, false});  // an audio CD
  OpenCDDoor("D:");
  EXPECT_TRUE(CallsAre(Ejected({})));
}

TEST_F(UdisksDoor, WithoutUdisksOrAKnownDriveTheKernelEjects) {
  OpenCDDoor("D:");  // the bus holds no udisks2
  EXPECT_TRUE(CdLogIs(laterKernelEject));

  cd.fake->log.clear();
  StartUdisks();  // knows the system disk only
  OpenCDDoor("D:");
  EXPECT_TRUE(CdLogIs(laterKernelEject));
  EXPECT_EQ(fake_->Calls(), std::vector<std::string>{"GetManagedObjects " + kRoot.toStdString()});
}

TEST_F(UdisksDoor, WithoutASystemBusTheKernelEjects) {
  platform::SetDiskManager(platform::MakeUdisksDiskManager(+[] {
    return QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/ovlix-bus"), QStringLiteral("no-bus"));
  }));
  OpenCDDoor("D:");
  EXPECT_EQ(cd.fake->log, kernelEject);  // known at once: while the device is open
}

TEST_F(UdisksDoor, ARefusalIsSilentAndLeavesTheDoorToTheKernel) {
  StartUdisks();
  fake_->Add({QStringLiteral("sr0"), "/dev/sr0", kDvd, {}, {"/media/user/DATA"}});
  fake_->Refuse(QStringLiteral("Unmount"));  // a file on the disc is open
  CreateForms();
  Form1->cdDoor->Button17Click();
  // no eject of a disc still mounted; the kernel's request is refused for a
  // busy drive, and no message is shown
  EXPECT_TRUE(CdLogIs(laterKernelEject));
  EXPECT_EQ(fake_->Calls(), (std::vector<std::string>{"GetManagedObjects " + kRoot.toStdString(),
                                                      "Unmount " + (kBlocks + "sr0").toStdString()}));
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("CDROM", "driveCD", ""), "D:");

  fake_->Refuse(QStringLiteral("Eject"));  // unmounted, but not allowed to eject
  cd.fake->log.clear();
  OpenCDDoor("D:");
  EXPECT_TRUE(CdLogIs(laterKernelEject));
  std::vector<std::string> calls = fake_->Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "Eject " + kDvd.toStdString());
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(UdisksDoor, ZavritClosesTheTrayByTheKernelAsBefore) {
  StartUdisks();
  fake_->Add({QStringLiteral("sr0"), "/dev/sr0", kDvd, {}, {}});
  CloseCDDoor("D:");
  EXPECT_TRUE(fake_->Calls().empty());
  EXPECT_EQ(cd.fake->log, (std::vector<std::string>{"open /dev/sr0", "close-tray", "close"}));
}

}  // namespace
