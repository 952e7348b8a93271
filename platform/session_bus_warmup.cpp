#include "platform/session_bus_warmup.h"

#include <sys/stat.h>

#include <QDBusConnection>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

// Where libdbus looks: the address in the environment, else the session's
// socket in the runtime folder.
bool SessionHasBus() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0')
    return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  return runtime != nullptr && *runtime != '\0' && ::stat((std::string(runtime) + "/bus").c_str(), &st) == 0 &&
         S_ISSOCK(st.st_mode);
}

}  // namespace

SessionBusWarmup::SessionBusWarmup() {
  if (SessionHasBus()) connector_ = std::jthread([] { QDBusConnection::sessionBus(); });
}

}  // namespace platform
