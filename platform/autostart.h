// The host meaning of HKEY_LOCAL_MACHINE\...\CurrentVersion\Run: each text
// value there is also an XDG autostart entry,
// ${XDG_CONFIG_HOME:-~/.config}/autostart/ovlix-run-NAME.desktop, that starts
// the value's program at log-in; removing the value removes the entry.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

bool IsRunKey(std::string_view hiveKeyPath);  // "HKEY_LOCAL_MACHINE\SOFTWARE\...\Run", any case
std::filesystem::path AutostartEntryPath(std::string_view valueName);
// The desktop entry's Exec line quotes the command, so no character of it
// means anything to the session's launcher.
std::string AutostartEntryText(std::string_view valueName, std::string_view command);
bool WriteAutostartEntry(std::string_view valueName, std::string_view command);
bool RemoveAutostartEntry(std::string_view valueName);

}  // namespace platform
