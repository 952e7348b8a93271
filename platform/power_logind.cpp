#include "platform/power_logind.h"

#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>

namespace platform {
namespace {

constexpr const char* kService = "org.freedesktop.login1";

class LogindPower : public PowerBackend {
 public:
  void ExitWindows(UINT flags, DWORD) override {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    QDBusMessage call;
    if ((flags & (EWX_SHUTDOWN | EWX_REBOOT)) == 0) {
      call = QDBusMessage::createMethodCall(kService, "/org/freedesktop/login1/session/auto",
                                            "org.freedesktop.login1.Session", "Terminate");
    } else {
      call = QDBusMessage::createMethodCall(kService, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                            (flags & EWX_REBOOT) ? "Reboot" : "PowerOff");
      call << false;  // not interactive: no polkit question
    }
    bus.send(call);
  }
};

}  // namespace

std::unique_ptr<PowerBackend> MakeLogindPowerBackend() { return std::make_unique<LogindPower>(); }

}  // namespace platform
