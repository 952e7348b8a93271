// GetCursorPos: the mouse pointer's position on the screen.
#pragma once

#include "platform/win32.h"

namespace platform {

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

BOOL GetCursorPos(POINT* point);

}  // namespace platform
