// Reads a value straight from the emulated registry; type REG_NONE when it
// is not there.
#pragma once

#include "platform/registry.h"

inline platform::RegValue ReadValue(platform::RootKey rootKey, const char* key, const char* name) {
  platform::RegKey k;
  platform::RegValue v{platform::REG_NONE, {}};
  if (platform::RegOpenKeyExA(rootKey, key, &k) == ERROR_SUCCESS) platform::RegQueryValueExA(k, name, &v);
  return v;
}
