#include "platform/disk_manager_udisks.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QMap>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

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

// Calls without waiting; `answered` gets the reply, or the error the time
// limit or a lost connection made, on this thread.
void Call(const QDBusConnection& bus, const QString& path, const QString& interface, const QString& method,
          const QVariantList& arguments, int timeoutMs, std::function<void(const QDBusMessage&)> answered) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
  call.setArguments(arguments);
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [answered = std::move(answered)](QDBusPendingCallWatcher* finished) {
                     finished->deleteLater();
                     answered(finished->reply());
                   });
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

bool Answered(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

// One eject, step by step as the manager answers: the look-up, each
// unmount in turn, the eject. The window goes on meanwhile.
class EjectRun : public std::enable_shared_from_this<EjectRun> {
 public:
  EjectRun(QDBusConnection bus, QByteArray device, DiskManager::Ejected done)
      : bus_(std::move(bus)), device_(std::move(device)), done_(std::move(done)) {}

  void Start() {
    Call(bus_, kRoot, QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"), {},
         kLookupTimeoutMs, [self = shared_from_this()](const QDBusMessage& reply) { self->Found(reply); });
  }

 private:
  void Found(const QDBusMessage& reply) {
    if (!Answered(reply) || reply.signature() != QLatin1String("a{oa{sa{sv}}}")) return done_(false);
    const auto objects = qdbus_cast<ManagedObjects>(reply.arguments().value(0));
    QDBusObjectPath disc;
    for (auto it = objects.begin(); it != objects.end() && disc.path().isEmpty(); ++it)
      if (it->contains(kBlock) && Bytes(it->value(kBlock).value(QStringLiteral("Device")).toByteArray()) == device_)
        disc = it.key();
    if (disc.path().isEmpty()) return done_(false);
    drive_ = PathProperty(objects.value(disc), kBlock, QStringLiteral("Drive"));
    if (!objects.value(drive_).contains(kDrive)) return done_(false);
    for (auto it = objects.begin(); it != objects.end(); ++it) {
      bool onDisc = it.key() == disc || PathProperty(*it, kPartition, QStringLiteral("Table")) == disc;
      if (onDisc && Mounted(*it)) mounted_.push_back(it.key().path());
    }
    Next();
  }

  // the file systems one after another, then the drive
  void Next() {
    const QVariantMap quiet{{QStringLiteral("auth.no_user_interaction"), true}};
    auto self = shared_from_this();
    if (next_ < mounted_.size()) {
      Call(bus_, mounted_[next_++], kFilesystem, QStringLiteral("Unmount"), {quiet}, kActionTimeoutMs,
           [self](const QDBusMessage& reply) { Answered(reply) ? self->Next() : self->done_(false); });
      return;
    }
    Call(bus_, drive_.path(), kDrive, QStringLiteral("Eject"), {quiet}, kActionTimeoutMs,
         [self](const QDBusMessage& reply) { self->done_(Answered(reply)); });
  }

  QDBusConnection bus_;
  QByteArray device_;
  DiskManager::Ejected done_;
  QDBusObjectPath drive_;
  std::vector<QString> mounted_;
  std::size_t next_ = 0;
};

class UdisksDiskManager : public DiskManager {
 public:
  explicit UdisksDiskManager(QDBusConnection (*bus)()) : bus_(bus) {}

  void Eject(const std::string& device, Ejected done) override {
    QDBusConnection bus = bus_();
    if (!bus.isConnected()) return done(false);
    // the drive map may name a link such as /dev/cdrom
    std::error_code ec;
    std::filesystem::path resolved = std::filesystem::canonical(device, ec);
    QByteArray wanted = QByteArray::fromStdString(ec ? device : resolved.string());
    std::make_shared<EjectRun>(bus, wanted, std::move(done))->Start();
  }

 private:
  QDBusConnection (*bus_)();
};

}  // namespace

std::unique_ptr<DiskManager> MakeUdisksDiskManager(QDBusConnection (*bus)()) {
  return std::make_unique<UdisksDiskManager>(bus);
}

}  // namespace platform
