// Run-time loading of the platform's libraries, for the calls the program
// looks up by name. The libraries are parts of this stand-in:
//   "Shell32.dll": SHEmptyRecycleBinA. It loads only where the user's trash
//   can be found, that is where XDG_DATA_HOME or HOME names the user's data
//   folder; elsewhere LoadLibraryA fails.
// Names match without regard to case.
#pragma once

#include <string_view>

#include "platform/win32.h"

namespace platform {

HANDLE LoadLibraryA(std::string_view fileName);
void* GetProcAddress(HANDLE module, std::string_view procName);
BOOL FreeLibrary(HANDLE module);

}  // namespace platform
