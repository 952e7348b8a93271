#include "platform/tray_qt.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <map>

namespace platform {
namespace {

UINT MouseMessageFor(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:  // the second button-up of a double click
      return WM_LBUTTONUP;
    case QSystemTrayIcon::Context:
      return WM_RBUTTONUP;
    case QSystemTrayIcon::MiddleClick:
      return WM_MBUTTONUP;
    default:
      return WM_MOUSEMOVE;
  }
}

class QtTray : public TrayBackend {
 public:
  explicit QtTray(const QIcon& icon) : icon_(icon) {}

  bool Add(const NOTIFYICONDATAA& data, std::function<void(UINT)> click) override {
    auto key = Key(data);
    if (icons_.count(key) != 0) return false;
    auto& entry = icons_[key];
    entry.icon = std::make_unique<QSystemTrayIcon>(icon_);
    if (data.uFlags & NIF_TIP) entry.icon->setToolTip(QString::fromUtf8(data.szTip));
    QObject::connect(entry.icon.get(), &QSystemTrayIcon::activated,
                     [click](QSystemTrayIcon::ActivationReason reason) { click(MouseMessageFor(reason)); });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
      entry.icon->show();
    } else {
      // no tray yet: look again every second until one is there
      entry.waiting = std::make_unique<QTimer>();
      QSystemTrayIcon* icon = entry.icon.get();
      QTimer* waiting = entry.waiting.get();
      QObject::connect(waiting, &QTimer::timeout, [icon, waiting] {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
        waiting->stop();
        icon->show();
      });
      waiting->start(1000);
    }
    return true;
  }

  bool Remove(const NOTIFYICONDATAA& data) override { return icons_.erase(Key(data)) != 0; }

 private:
  struct Entry {
    std::unique_ptr<QSystemTrayIcon> icon;
    std::unique_ptr<QTimer> waiting;
  };
  static std::pair<std::uint32_t, UINT> Key(const NOTIFYICONDATAA& d) { return {d.hWnd, d.uID}; }

  QIcon icon_;
  std::map<std::pair<std::uint32_t, UINT>, Entry> icons_;
};

}  // namespace

std::unique_ptr<TrayBackend> MakeQtTrayBackend(const QIcon& icon) { return std::make_unique<QtTray>(icon); }

}  // namespace platform
