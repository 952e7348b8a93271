#include "actions/power_actions.h"

#include "platform/power.h"

void EndWindows(UINT action) {
  platform::ExitWindowsEx(EWX_FORCE, 0);
  platform::ExitWindowsEx(action, 0);
}
