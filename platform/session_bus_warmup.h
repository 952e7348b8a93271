// The toolkit connects to the session bus (a socket, authentication and the
// bus's greeting: several round trips) on the main thread when its
// accessibility bridge starts, which the first window's first control
// does. Connected on a second thread while the windows are built, the
// connection is ready by the time the bridge asks for it.
#pragma once

#include <thread>

namespace platform {

class SessionBusWarmup {
 public:
  // Does nothing when the session has no bus to connect to: looking for
  // one would start a bus from a forked child, which is slow in a process
  // of several threads.
  SessionBusWarmup();

 private:
  std::jthread connector_;  // joined when the program ends
};

}  // namespace platform
