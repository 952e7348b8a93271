#include "tweaks/win9x.h"

#include "platform/system_info.h"

bool IsWin9xFamily() {
  platform::OSVERSIONINFOA info;
  info.dwOSVersionInfoSize = 148;
  return platform::GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
