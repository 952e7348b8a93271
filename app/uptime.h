// The uptime line: whole seconds and whole minutes since the system started,
// both totals, from a 32-bit millisecond count that wraps after 49.7 days.
#pragma once

#include <string>

#include "platform/win32.h"

std::string UptimeText(DWORD milliseconds);
