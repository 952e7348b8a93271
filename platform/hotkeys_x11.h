// Hotkeys on X11: a passive grab of the key on the root window, once with
// the modifiers alone and once each with Caps Lock, Num Lock and both held,
// so the keys go on working whatever the lock lights show. A grab the X
// server refuses (another client holds it) fails the registration. Presses
// arrive through Qt's native event filter.
#pragma once

#include <memory>

#include "platform/hotkeys.h"

struct xcb_connection_t;

namespace platform {

std::unique_ptr<HotkeyBackend> MakeX11HotkeyBackend(xcb_connection_t* connection);

}  // namespace platform
