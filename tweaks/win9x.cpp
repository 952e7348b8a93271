#include "tweaks/win9x.h"

#include "framework/message_box.h"
#include "platform/system_info.h"

PlatformFamily CheckPlatformFamily() {
  platform::OSVERSIONINFOA info;
  info.dwOSVersionInfoSize = 148;
  if (!platform::GetVersionExA(&info)) return PlatformFamily::Unknown;
  return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? PlatformFamily::Win9x : PlatformFamily::Other;
}

void ShowWin9xOnlyWarning() {
  ShowBox(BoxKind::Warning, QStringLiteral("Váš systém není Windows 95 nebo 98, Proto je tato funkce znepřístupněna."));
}
