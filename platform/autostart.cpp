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

namespace {

bool IsThisProgram(std::string_view command) {
  std::string exe = ExecutablePath();
  if (command == exe) return true;
  std::error_code ec;
  return !exe.empty() && !command.empty() && command.front() == '/' &&
         std::filesystem::equivalent(std::filesystem::path(command), std::filesystem::path(exe), ec);
}

}  // namespace

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
  // The desktop's list of programs started at log-in shows Ovlix itself by
  // its name and icon, not by the value's name, also when the value names
  // it by its link on PATH (/usr/bin/ovlix for /usr/lib/ovlix/ovlix).
  // TryExec makes the desktop skip the entry once the program is removed
  // (a purge does not reach into home folders).
  if (!IsThisProgram(command))
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec +
           "\nX-GNOME-Autostart-enabled=true\nComment=Run value \"" + name + "\" of Ovlix\n";
  std::string tryExec;
  for (char c : command) {
    if (c == '\\') tryExec += '\\';
    if (c != '\n' && c != '\r') tryExec += c;
  }
  return "[Desktop Entry]\nType=Application\nName=Ovlix\nExec=" + exec + "\nTryExec=" + tryExec +
         "\nIcon=org.ovlix.Ovlix\nX-GNOME-Autostart-enabled=true\nComment=Run value \"" + name + "\" of Ovlix\n";
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
