#include "platform/disk_manager_udisks.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QMap>
#include <filesystem>

namespace platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kRoot = QStringLiteral("/org/freedesktop/UDisks2");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kPartition = QStringLiteral("org.freedesktop.UDisks2.Partition");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kDrive = QStringLiteral("org.freedesktop.UDisks2.Drive");

constexpr int kLookupTimeoutMs = 2000;   // answered from the manager's memory
constexpr int kActionTimeoutMs = 10000;  // flushing a file system, moving a tray

// GetManagedObjects: a{oa{sa{sv}}}, object to interface to properties.
using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

QDBusMessage Call(const QDBusConnection& bus, const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments, int timeoutMs) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
  call.setArguments(arguments);
  // no events while waiting: the door command runs to its end before
  // another handler can start
  return bus.call(call, QDBus::Block, timeoutMs);
}

// Device and MountPoints hold bytes ending in a NUL.
QByteArray Bytes(QByteArray bytes) {
  if (bytes.endsWith('\0')) bytes.chop(1);
  return bytes;
}

bool Mounted(const Interfaces& object) {
  auto filesystem = object.find(kFilesystem);
  return filesystem != object.end() &&
         !qdbus_cast<QByteArrayList>(filesystem->value(QStringLiteral("MountPoints"))).isEmpty();
}

QDBusObjectPath PathProperty(const Interfaces& object, const QString& interface, const QString& name) {
  return object.value(interface).value(name).value<QDBusObjectPath>();
}

class UdisksDiskManager : public DiskManager {
 public:
  explicit UdisksDiskManager(QDBusConnection (*bus)()) : bus_(bus) {}

  bool Eject(const std::string& device) override {
    QDBusConnection bus = bus_();
    if (!bus.isConnected()) return false;
    QDBusMessage reply = Call(bus, kRoot, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                              QStringLiteral("GetManagedObjects"), {}, kLookupTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("a{oa{sa{sv}}}")) return false;
    const auto objects = qdbus_cast<ManagedObjects>(reply.arguments().value(0));

    // the drive map may name a link such as /dev/cdrom
    std::error_code ec;
    std::filesystem::path resolved = std::filesystem::canonical(device, ec);
    QByteArray wanted = QByteArray::fromStdString(ec ? device : resolved.string());
    QDBusObjectPath disc;
    for (auto it = objects.begin(); it != objects.end() && disc.path().isEmpty(); ++it)
      if (it->contains(kBlock) && Bytes(it->value(kBlock).value(QStringLiteral("Device")).toByteArray()) == wanted)
        disc = it.key();
    if (disc.path().isEmpty()) return false;
    QDBusObjectPath drive = PathProperty(objects.value(disc), kBlock, QStringLiteral("Drive"));
    if (!objects.value(drive).contains(kDrive)) return false;

    const QVariantMap quiet{{QStringLiteral("auth.no_user_interaction"), true}};
    for (auto it = objects.begin(); it != objects.end(); ++it) {
      bool onDisc = it.key() == disc || PathProperty(*it, kPartition, QStringLiteral("Table")) == disc;
      if (!onDisc || !Mounted(*it)) continue;
      if (Call(bus, it.key().path(), kFilesystem, QStringLiteral("Unmount"), {quiet}, kActionTimeoutMs).type() !=
          QDBusMessage::ReplyMessage)
        return false;
    }
    return Call(bus, drive.path(), kDrive, QStringLiteral("Eject"), {quiet}, kActionTimeoutMs).type() ==
           QDBusMessage::ReplyMessage;
  }

 private:
  QDBusConnection (*bus_)();
};

}  // namespace

std::unique_ptr<DiskManager> MakeUdisksDiskManager(QDBusConnection (*bus)()) {
  return std::make_unique<UdisksDiskManager>(bus);
}

}  // namespace platform
