#include "platform/hotkeys_portal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <map>

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
  explicit PortalHotkeys(const QDBusConnection& bus) : bus_(bus) {
    RegisterPortalTypes();
    bus_.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this, SLOT(Activated(QDBusMessage)));
  }

  bool Grab(UINT modifiers, UINT vk, std::function<void()> pressed) override {
    std::string trigger = PortalTrigger(modifiers, vk);
    if (trigger.empty()) return false;
    QString id = QStringLiteral("hotkey-%1-%2").arg(modifiers).arg(vk);
    if (pressed_.count(id)) return false;
    pressed_[id] = {QString::fromStdString(trigger), std::move(pressed)};
    // the program registers its keys one after another: bind them together
    if (!bindPending_) {
      bindPending_ = true;
      QTimer::singleShot(0, this, [this] { Bind(); });
    }
    return true;
  }

  void Release(UINT modifiers, UINT vk) override {
    pressed_.erase(QStringLiteral("hotkey-%1-%2").arg(modifiers).arg(vk));
  }

 private slots:
  // Activated(o session_handle, s shortcut_id, t timestamp, a{sv} options)
  void Activated(const QDBusMessage& message) {
    QList<QVariant> args = message.arguments();
    if (args.size() < 2 || args[0].value<QDBusObjectPath>().path() != session_) return;
    auto it = pressed_.find(args[1].toString());
    if (it != pressed_.end()) it->second.pressed();
  }

  void SessionCreated(uint response, const QVariantMap& results) {
    if (response != 0) return;  // the desktop said no: no hotkeys
    session_ = results.value(QStringLiteral("session_handle")).toString();
    if (session_.isEmpty()) session_ = results.value(QStringLiteral("session_handle")).value<QDBusObjectPath>().path();
    SendBind();
  }

  void Bound(uint, const QVariantMap&) {}

 private:
  // The portal answers on a request object whose path follows from our name
  // and a token; listening before asking misses no answer.
  QString Listen(const char* slot) {
    QString token = QStringLiteral("ovlix%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus_.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    QString path = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    bus_.connect(kService, path, kRequest, QStringLiteral("Response"), this, slot);
    return token;
  }

  void Bind() {
    bindPending_ = false;
    if (!session_.isEmpty()) {
      SendBind();
      return;
    }
    if (creating_) return;
    creating_ = true;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CreateSession"));
    QString token = Listen(SLOT(SessionCreated(uint, QVariantMap)));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), QStringLiteral("ovlix")}};
    bus_.asyncCall(call);
  }

  void SendBind() {
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, key] : pressed_)
      shortcuts << PortalShortcut{id,
                                  {{QStringLiteral("description"), QStringLiteral("Ovlix ") + key.trigger},
                                   {QStringLiteral("preferred_trigger"), key.trigger}}};
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
  std::map<QString, Key> pressed_;
  QString session_;
  bool bindPending_ = false;
  bool creating_ = false;
};

}  // namespace

std::unique_ptr<HotkeyBackend> MakePortalHotkeyBackend(const QDBusConnection& bus) {
  if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kService)) return nullptr;
  QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  get << kInterface << QStringLiteral("version");
  QDBusMessage reply = QDBusConnection(bus).call(get, QDBus::BlockWithGui, 2000);
  if (reply.type() != QDBusMessage::ReplyMessage) return nullptr;  // no global shortcuts here
  return std::make_unique<PortalHotkeys>(bus);
}

}  // namespace platform

#include "hotkeys_portal.moc"
