// Named mutexes: one lock file a name in the run folder of the platform
// root, held with flock for the life of the process. The kernel drops the
// lock when the process ends, however it ends, so a crash never leaves a
// stale "copy already running".
#pragma once

#include <string_view>

#include "platform/win32.h"

namespace platform {

// As on the platform: returns a handle, and GetLastError() tells
// ERROR_ALREADY_EXISTS when the name is held already (by another process,
// or earlier in this one). Returns 0 when no lock can be made at all.
HANDLE CreateMutexA(const void* securityAttributes, BOOL initialOwner, std::string_view name);
DWORD GetLastError();

// What CloseHandle does for a mutex handle: the last handle of a name
// releases it. False when `handle` is no mutex handle.
bool CloseMutexHandle(HANDLE handle);

}  // namespace platform
