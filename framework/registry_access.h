// The registry accessor every handler creates, uses and frees: a root, one
// open key, reads and writes with the original framework's messages.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"

class TRegistry {
 public:
  explicit TRegistry(platform::RootKey root = platform::RootKey::CurrentUser) : root_(root) {}

  // A leading backslash makes the path absolute from the root; otherwise it
  // is relative to the open key. False when the key cannot be opened.
  bool OpenKey(std::string_view key, bool canCreate);
  void CloseKey() { open_ = false; }

  bool ValueExists(std::string_view name) const;
  // A missing value reads as empty text; one of another type than text fails
  // with "Invalid data type for '<name>'".
  std::string ReadString(std::string_view name) const;
  int ReadInteger(std::string_view name) const;
  // Fail with "Failed to set data for '<name>'".
  void WriteString(std::string_view name, std::string_view value);
  void WriteInteger(std::string_view name, int value);
  bool DeleteValue(std::string_view name);

 private:
  void Write(std::string_view name, const platform::RegValue& value);

  platform::RootKey root_;
  bool open_ = false;
  platform::RegKey key_;
};
