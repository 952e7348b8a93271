// Clock and version queries.
#pragma once

#include "platform/win32.h"

namespace platform {

// Milliseconds since boot (suspended time included), cut to 32 bits: it
// wraps after 49.7 days as the platform's does.
DWORD GetTickCount();

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  char szCSDVersion[128] = {};
};

// This host reports the NT family (platform id 2), version 5.1.
BOOL GetVersionExA(OSVERSIONINFOA* info);
// Makes GetVersionExA report another platform id (a test's Windows 98: 1);
// a negative id brings this host's back, and `fail` makes the call fail.
void SetReportedPlatform(long platformId, bool fail = false);

}  // namespace platform
