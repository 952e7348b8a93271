#include "platform/hotkeys_portal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <map>
#include <set>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

}  // namespace

namespace platform {

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcut& s) {
  out.beginStructure();
  out << s.id << s.properties;
  out.endStructure();
  return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcut& s) {
  in.beginStructure();
  in >> s.id >> s.properties;
  in.endStructure();
  return in;
}

void RegisterPortalTypes() {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
}

std::string PortalTrigger(UINT modifiers, UINT vk) {
  std::string out;
  if (modifiers & MOD_CONTROL) out += "CTRL+";
  if (modifiers & MOD_ALT) out += "ALT+";
  if (modifiers & MOD_SHIFT) out += "SHIFT+";
  if (modifiers & MOD_WIN) out += "LOGO+";
  if (vk >= 'A' && vk <= 'Z')
    out += static_cast<char>(vk - 'A' + 'a');
  else if (vk >= '0' && vk <= '9')
    out += static_cast<char>(vk);
  else if (vk >= 112 && vk <= 135)
    out += "F" + std::to_string(vk - 111);
  else
    return {};
  return out;
}

namespace {

class PortalHotkeys : public QObject, public HotkeyBackend {
  Q_OBJECT
 public:
  explicit PortalHotkeys(const QDBusConnection& bus) : bus_(bus), watcher_(kService, bus_) {
    RegisterPortalTypes();
    bus_.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this, SLOT(Activated(QDBusMessage)));
    watcher_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
              session_.clear();  // a portal that went took its session along
              creating_ = false;
              if (!owner.isEmpty()) Probe();
            });
  }

  bool Grab(UINT modifiers, UINT vk, std::function<void()> pressed) override {
    std::string trigger = PortalTrigger(modifiers, vk);
    if (trigger.empty()) return false;
    QString id = QStringLiteral("hotkey-%1-%2").arg(modifiers).arg(vk);
    if (keys_.count(id)) return false;
    keys_[id] = {QString::fromStdString(trigger), std::move(pressed)};
    // the program registers its keys one after another: hand them over together
    if (!handOverPending_) {
      handOverPending_ = true;
      QTimer::singleShot(0, this, [this] {
        handOverPending_ = false;
        HandOver();
      });
    }
    return true;
  }

  void Release(UINT modifiers, UINT vk) override { keys_.erase(QStringLiteral("hotkey-%1-%2").arg(modifiers).arg(vk)); }

  bool Offered() const override { return offered_; }

 private slots:
  // Activated(o session_handle, s shortcut_id, t timestamp, a{sv} options)
  void Activated(const QDBusMessage& message) {
    QList<QVariant> args = message.arguments();
    if (args.size() < 2 || session_.isEmpty() || args[0].value<QDBusObjectPath>().path() != session_) return;
    auto it = keys_.find(args[1].toString());
    if (it != keys_.end()) it->second.pressed();
  }

  void SessionCreated(uint response, const QVariantMap& results) {
    creating_ = false;
    if (response != 0) return;  // the desktop said no: no hotkeys
    QVariant handle = results.value(QStringLiteral("session_handle"));
    session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
    if (!session_.isEmpty()) List();
  }

  // What the desktop kept of the shortcuts; only the missing ones are bound.
  void Listed(uint response, const QVariantMap& results) {
    if (response != 0) return;
    QList<PortalShortcut> known;
    QVariant shortcuts = results.value(QStringLiteral("shortcuts"));
    if (shortcuts.canConvert<QDBusArgument>()) shortcuts.value<QDBusArgument>() >> known;
    std::set<QString> ids;
    for (const PortalShortcut& s : known) ids.insert(s.id);
    QList<PortalShortcut> missing;
    for (const PortalShortcut& s : Shortcuts())
      if (ids.count(s.id) == 0) missing << s;
    if (!missing.isEmpty()) Bind(missing);
  }

  void Bound(uint, const QVariantMap&) {}

 private:
  // Asks for the interface's version: a portal that is installed but not
  // running is started by the bus on this call.
  void Probe() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(get, 5000), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call] {
      call->deleteLater();
      // no portal (yet: the watcher waits for one), or one without global shortcuts
      offered_ = !call->isError();
      if (offered_) HandOver();
    });
  }

  void HandOver() {
    if (!probed_) {
      probed_ = true;
      Probe();
      return;
    }
    if (!offered_ || creating_) return;
    if (session_.isEmpty()) {
      CreateSession();
      return;
    }
    List();
  }

  QList<PortalShortcut> Shortcuts() const {
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, key] : keys_)
      shortcuts << PortalShortcut{id,
                                  {{QStringLiteral("description"), QStringLiteral("Ovlix ") + key.trigger},
                                   {QStringLiteral("preferred_trigger"), key.trigger}}};
    return shortcuts;
  }

  // The portal answers on a request object whose path follows from our name
  // and a token; listening before asking misses no answer.
  QString Listen(const char* slot) {
    QString token = QStringLiteral("ovlix%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus_.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    QString path = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    bus_.connect(kService, path, kRequest, QStringLiteral("Response"), this, slot);
    return token;
  }

  void CreateSession() {
    creating_ = true;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CreateSession"));
    QString token = Listen(SLOT(SessionCreated(uint, QVariantMap)));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), QStringLiteral("ovlix")},
                        {QStringLiteral("shortcuts"), QVariant::fromValue(Shortcuts())}};
    bus_.asyncCall(call);
  }

  void List() {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("ListShortcuts"));
    QString token = Listen(SLOT(Listed(uint, QVariantMap)));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariantMap{{QStringLiteral("handle_token"), token}};
    bus_.asyncCall(call);
  }

  void Bind(const QList<PortalShortcut>& shortcuts) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("BindShortcuts"));
    QString token = Listen(SLOT(Bound(uint, QVariantMap)));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(shortcuts) << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    bus_.asyncCall(call);
  }

  struct Key {
    QString trigger;
    std::function<void()> pressed;
  };
  QDBusConnection bus_;
  QDBusServiceWatcher watcher_;
  std::map<QString, Key> keys_;
  QString session_;
  bool handOverPending_ = false;
  bool probed_ = false;
  bool offered_ = false;
  bool creating_ = false;
};

}  // namespace

std::unique_ptr<HotkeyBackend> MakePortalHotkeyBackend(const QDBusConnection& bus) {
  if (!bus.isConnected()) return nullptr;
  return std::make_unique<PortalHotkeys>(bus);
}

}  // namespace platform

#include "hotkeys_portal.moc"
