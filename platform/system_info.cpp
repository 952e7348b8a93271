#include "platform/system_info.h"

#include <ctime>

namespace platform {

DWORD GetTickCount() {
  timespec ts{};
  ::clock_gettime(CLOCK_BOOTTIME, &ts);
  auto ms =
      static_cast<unsigned long long>(ts.tv_sec) * 1000ULL + static_cast<unsigned long long>(ts.tv_nsec / 1000000);
  return static_cast<DWORD>(ms);
}

namespace {
long reportedPlatform = -1;
bool failVersion = false;
}  // namespace

void SetReportedPlatform(long platformId, bool fail) {
  reportedPlatform = platformId;
  failVersion = fail;
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (failVersion || info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE_;
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = reportedPlatform >= 0 ? static_cast<DWORD>(reportedPlatform) : VER_PLATFORM_WIN32_NT;
  return TRUE_;
}

}  // namespace platform
