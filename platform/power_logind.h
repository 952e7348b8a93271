// The real power backend: systemd-logind over the system bus.
//   EWX_FORCE alone (4) and EWX_LOGOFF (0): terminate the caller's session
//   EWX_SHUTDOWN (1): power off;  EWX_REBOOT (2): reboot
// A log-off is sent from the event loop, once however often it was asked
// for in a row, and a power-off or reboot asked for before then replaces it:
// the forced log-off the program asks for before a shut-down would end the
// session, and the program with it, before the shut-down was asked for.
// Calls are sent without waiting for an answer.
#pragma once

#include <memory>

#include "platform/power.h"

namespace platform {

std::unique_ptr<PowerBackend> MakeLogindPowerBackend();

}  // namespace platform
