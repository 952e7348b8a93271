#include "dialogs/folder_lock_script.h"

#include <string>

#include "platform/paths.h"
#include "platform/shell.h"

void OpenFolderLockScript() {
  std::string script = platform::ProgramFolder() + "data\\kspass.vbs";
  platform::ShellExecuteA(0, "open", script.c_str(), nullptr, nullptr, platform::SW_SHOWNORMAL);
}
