// ExitWindowsEx and the backends it hands requests to.
//
// The program installs the logind backend at start (power_logind.h); until
// then, and in every test binary, requests go to a backend that does
// nothing, so no test can end a session or power a machine off.
#pragma once

#include <memory>

#include "platform/win32.h"

namespace platform {

class PowerBackend {
 public:
  virtual ~PowerBackend() = default;
  virtual void ExitWindows(UINT flags, DWORD reason) = 0;
};

// Takes over the backend; returns the previous one.
std::unique_ptr<PowerBackend> SetPowerBackend(std::unique_ptr<PowerBackend> backend);

// Hands the request to the backend; the result is always TRUE, the
// requests are asynchronous as on the platform.
BOOL ExitWindowsEx(UINT flags, DWORD reason);

}  // namespace platform
