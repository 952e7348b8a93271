#include "platform/tray_qt.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <map>

namespace platform {
namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

UINT MouseMessageFor(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:  // the second button-up of a double click
      return WM_LBUTTONUP;
    case QSystemTrayIcon::Context: return WM_RBUTTONUP;
    case QSystemTrayIcon::MiddleClick: return WM_MBUTTONUP;
    default: return WM_MOUSEMOVE;
  }
}

class QtTray : public TrayBackend {
 public:
  explicit QtTray(const QIcon& icon) : icon_(icon) {}

  bool Add(const NOTIFYICONDATAA& data, std::function<void(UINT)> click) override {
    auto key = Key(data);
    if (icons_.count(key) != 0) return false;
    Entry& entry = icons_[key];
    if (data.uFlags & NIF_TIP) entry.tip = QString::fromUtf8(data.szTip);
    entry.click = std::move(click);
    // The icon is made and the tray looked for from the event loop: both ask
    // the desktop (its bus, the X server) and wait for the answers, which
    // the caller, often a window being built, need not wait for.
    entry.lookout = std::make_unique<QTimer>();
    QObject::connect(entry.lookout.get(), &QTimer::timeout, [this, &entry] { Look(entry); });
    entry.lookout->start(0);
    return true;
  }

  bool Remove(const NOTIFYICONDATAA& data) override { return icons_.erase(Key(data)) != 0; }

  // The toolkit shows its icon as a StatusNotifierItem where a watcher is
  // on the session bus, else in an XEmbed tray; a watcher alone shows
  // nothing until a host (a panel) has registered with it.
  bool ShowsIcons() const override {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() != nullptr && bus.interface()->isServiceRegistered(kWatcher)) {
      QDBusMessage get =
          QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"),
                                         QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
      get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
      QDBusMessage reply = bus.call(get, QDBus::Block, 1000);
      return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
             reply.arguments()[0].value<QDBusVariant>().variant().toBool();
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
  }

  bool SetMenu(const NOTIFYICONDATAA& data, QMenu* menu) override {
    auto it = icons_.find(Key(data));
    if (it == icons_.end()) return false;
    it->second.menu = menu;
    if (it->second.icon) it->second.icon->setContextMenu(menu);
    return true;
  }

 private:
  struct Entry {
    QString tip;
    std::function<void(UINT)> click;
    QMenu* menu = nullptr;  // opened by the tray itself
    std::unique_ptr<QSystemTrayIcon> icon;
    std::unique_ptr<QTimer> lookout;
  };

  void Look(Entry& entry) {
    if (!entry.icon) {
      entry.icon = std::make_unique<QSystemTrayIcon>(icon_);
      entry.icon->setToolTip(entry.tip);
      if (entry.menu != nullptr) entry.icon->setContextMenu(entry.menu);
      QObject::connect(entry.icon.get(), &QSystemTrayIcon::activated,
                       [&entry](QSystemTrayIcon::ActivationReason reason) {
                         // the tray opens a menu of its own
                         if (reason == QSystemTrayIcon::Context && entry.menu != nullptr) return;
                         entry.click(MouseMessageFor(reason));
                       });
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
      entry.lookout->start(1000);  // no tray yet: look again every second until one is there
      return;
    }
    entry.lookout->stop();
    entry.icon->show();
  }
  static std::pair<std::uint32_t, UINT> Key(const NOTIFYICONDATAA& d) { return {d.hWnd, d.uID}; }

  QIcon icon_;
  std::map<std::pair<std::uint32_t, UINT>, Entry> icons_;
};

}  // namespace

std::unique_ptr<TrayBackend> MakeQtTrayBackend(const QIcon& icon) { return std::make_unique<QtTray>(icon); }

}  // namespace platform
