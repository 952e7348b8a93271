// The real power backend: systemd-logind over the system bus.
//   EWX_FORCE alone (4) and EWX_LOGOFF (0): terminate the caller's session
//   EWX_SHUTDOWN (1): power off;  EWX_REBOOT (2): reboot
// Calls are sent without waiting for an answer, so both requests of a power
// action leave before the session's end reaches this process.
#pragma once

#include <memory>

#include "platform/power.h"

namespace platform {

std::unique_ptr<PowerBackend> MakeLogindPowerBackend();

}  // namespace platform
