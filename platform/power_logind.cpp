#include "platform/power_logind.h"

#include <QTimer>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>

namespace platform {
namespace {

constexpr const char* kService = "org.freedesktop.login1";

class LogindPower : public PowerBackend {
 public:
  void ExitWindows(UINT flags, DWORD) override {
    if ((flags & (EWX_SHUTDOWN | EWX_REBOOT)) == 0) {
      // A log-off goes from the event loop: a shut-down or restart asked for
      // right after it (the program asks for a forced log-off first) takes
      // its place. Ending the session first would end this program, and
      // every other one, before the shut-down was even asked for.
      if (!logOffPending_) QTimer::singleShot(0, [this] { SendLogOff(); });
      logOffPending_ = true;
      return;
    }
    logOffPending_ = false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                       (flags & EWX_REBOOT) ? "Reboot" : "PowerOff");
    call << false;  // not interactive: no polkit question
    Send(call);
  }

 private:
  void SendLogOff() {
    if (!logOffPending_) return;  // a shut-down or restart came instead
    logOffPending_ = false;
    Send(QDBusMessage::createMethodCall(kService, "/org/freedesktop/login1/session/auto",
                                        "org.freedesktop.login1.Session", "Terminate"));
  }
  static void Send(const QDBusMessage& call) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected()) bus.send(call);
  }

  bool logOffPending_ = false;
};

}  // namespace

std::unique_ptr<PowerBackend> MakeLogindPowerBackend() { return std::make_unique<LogindPower>(); }

}  // namespace platform
