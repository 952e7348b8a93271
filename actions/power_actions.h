// Log off, restart and shut down: a forced log-off request, then the
// action's own request, as two calls; no question, no waiting.
#pragma once

#include "platform/win32.h"

void EndWindows(UINT action);
