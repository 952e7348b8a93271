#include "framework/registry_access.h"

#include "framework/exception.h"

using platform::RegValue;

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
  std::string path(key);
  bool absolute = !path.empty() && path.front() == '\\';
  if (!absolute && open_ && !key_.path.empty()) path = key_.path + "\\" + path;
  platform::RegKey opened;
  LONG rc = canCreate ? platform::RegCreateKeyExA(root_, path, &opened) : platform::RegOpenKeyExA(root_, path, &opened);
  if (rc != ERROR_SUCCESS) return false;
  key_ = opened;
  open_ = true;
  return true;
}

bool TRegistry::ValueExists(std::string_view name) const {
  RegValue value;
  return open_ && platform::RegQueryValueExA(key_, name, &value) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(std::string_view name) const {
  RegValue value;
  if (!open_ || platform::RegQueryValueExA(key_, name, &value) != ERROR_SUCCESS) return {};
  if (value.type == platform::REG_EXPAND_SZ) {
    while (!value.data.empty() && value.data.back() == '\0') value.data.pop_back();
    return value.data;
  }
  if (value.type != platform::REG_SZ) throw Exception("Invalid data type for '" + std::string(name) + "'");
  return value.data;
}

int TRegistry::ReadInteger(std::string_view name) const {
  RegValue value;
  if (!open_ || platform::RegQueryValueExA(key_, name, &value) != ERROR_SUCCESS)
    throw Exception("Failed to get data for '" + std::string(name) + "'");
  if (value.type != platform::REG_DWORD) throw Exception("Invalid data type for '" + std::string(name) + "'");
  return static_cast<int>(value.AsDword());
}

void TRegistry::Write(std::string_view name, const RegValue& value) {
  if (!open_ || platform::RegSetValueExA(key_, name, value) != ERROR_SUCCESS)
    throw Exception("Failed to set data for '" + std::string(name) + "'");
}

void TRegistry::WriteString(std::string_view name, std::string_view value) { Write(name, RegValue::String(value)); }

void TRegistry::WriteInteger(std::string_view name, int value) {
  Write(name, RegValue::Dword(static_cast<std::uint32_t>(value)));
}

bool TRegistry::DeleteValue(std::string_view name) {
  return open_ && platform::RegDeleteValueA(key_, name) == ERROR_SUCCESS;
}
