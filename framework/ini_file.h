// The settings-file object: created with a file name, one key read or
// written at a time through the private-profile functions, freed after use.
#pragma once

#include <string>
#include <string_view>

class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

  // At most 2047 characters; the default when the key or the file is missing.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // Fails with "Unable to write to <file name>".
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::string fileName_;
};

// The program's own settings file.
inline constexpr const char* kSettingsFile = "Trelmo.ini";
