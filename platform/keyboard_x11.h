// The lock lights of an X11 display through XKB: Caps Lock and Num Lock as
// locked modifiers (what the keys themselves toggle), Scroll Lock through its
// named indicator; a lock key held down is read from the key map.
#pragma once

#include <memory>

#include "platform/keyboard.h"

struct _XDisplay;

namespace platform {

std::unique_ptr<LockLights> MakeX11LockLights(_XDisplay* display);

}  // namespace platform
