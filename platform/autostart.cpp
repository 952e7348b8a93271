#include "platform/autostart.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "platform/registry_text.h"
#include "platform/text_util.h"

namespace platform {

bool IsRunKey(std::string_view path) {
  return EqualsNoCase(NormalizeKeyPath(path), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
}

std::filesystem::path AutostartEntryPath(std::string_view valueName) {
  std::string name;
  for (char c : valueName) name += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') ? c : '_';
  return ConfigRoot().parent_path() / "autostart" / ("ovlix-run-" + name + ".desktop");
}

std::string AutostartEntryText(std::string_view valueName, std::string_view command) {
  std::string exec = "\"";
  // the quoting rule escapes " ` $ \ with a backslash, and the string rule
  // then doubles every backslash: \ becomes four, $ becomes \\$
  for (char c : command) {
    if (c == '\\') {
      exec += "\\\\\\\\";
      continue;
    }
    if (c == '"' || c == '`' || c == '$') exec += "\\\\";
    if (c == '%') exec += '%';
    if (c == '\n' || c == '\r') continue;
    exec += c;
  }
  exec += '"';
  std::string name;
  for (char c : valueName)
    if (c != '\n' && c != '\r') name += c;
  // the desktop's list of programs started at log-in shows Ovlix itself
  // by its name and icon, not by the value's name
  const bool ovlix = command == ExecutablePath();
  return "[Desktop Entry]\nType=Application\nName=" + (ovlix ? std::string("Ovlix") : name) + "\nExec=" + exec +
         (ovlix ? "\nIcon=org.ovlix.Ovlix" : "") + "\nX-GNOME-Autostart-enabled=true\nComment=Run value \"" + name +
         "\" of Ovlix\n";
}

bool WriteAutostartEntry(std::string_view valueName, std::string_view command) {
  return WriteFileAtomically(AutostartEntryPath(valueName), AutostartEntryText(valueName, command), 0644);
}

bool RemoveAutostartEntry(std::string_view valueName) {
  std::error_code ec;
  std::filesystem::remove(AutostartEntryPath(valueName), ec);
  return !ec;
}

}  // namespace platform
