// The X server's own screen-saver timeout (XSetScreenSaver), which screen
// savers and lockers that watch the server's idle time go by.
#pragma once

#include <memory>

#include "platform/desktop_settings.h"

struct _XDisplay;

namespace platform {

std::unique_ptr<ScreenSaverTimer> MakeX11ScreenSaverTimer(_XDisplay* display);

}  // namespace platform
