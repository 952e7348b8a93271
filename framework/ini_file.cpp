#include "framework/ini_file.h"

#include "framework/exception.h"
#include "platform/profile.h"

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
  return platform::GetPrivateProfileStringA(section, key, defaultValue, 2048, fileName_);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (platform::WritePrivateProfileStringA(section, key, value, fileName_) == 0)
    throw Exception("Unable to write to " + fileName_);
}
