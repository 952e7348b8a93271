// The registry stand-in: two hives kept as regedit text files in the
// registry folder of the platform root (HKEY_CURRENT_USER.reg,
// HKEY_LOCAL_MACHINE.reg).
//
// Every call reads the hive anew and every change is written back at once,
// atomically, so nothing is cached between callers. A hive that does not
// exist yet holds what a fresh system holds for the values the program reads.
// A text value under HKEY_LOCAL_MACHINE\...\CurrentVersion\Run is also an
// XDG autostart entry (autostart.h).
// A hive that cannot be parsed is moved aside (".damaged" beside it, never
// overwritten) and reported by a HiveError; the next call starts fresh.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/registry_text.h"

namespace platform {

enum class RootKey { CurrentUser, LocalMachine };

const char* RootKeyName(RootKey root);  // "HKEY_CURRENT_USER", ...

struct RegKey {
  RootKey root = RootKey::CurrentUser;
  std::string path;  // normalized, without the root name
};

class HiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text a hive holds before anything was written to it.
std::string FreshHiveText(RootKey root);

LONG RegCreateKeyExA(RootKey root, std::string_view subKey, RegKey* result);
LONG RegOpenKeyExA(RootKey root, std::string_view subKey, RegKey* result);
LONG RegQueryValueExA(const RegKey& key, std::string_view name, RegValue* value);
LONG RegSetValueExA(const RegKey& key, std::string_view name, const RegValue& value);
LONG RegDeleteValueA(const RegKey& key, std::string_view name);

}  // namespace platform
