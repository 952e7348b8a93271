// The text form of a registry hive: what regedit exports and imports
// ("REGEDIT4" or "Windows Registry Editor Version 5.00" first, then
// "[key path]" sections of "name"=data lines).
//
// Strings ("text", with \\ and \" escaped) and dword:xxxxxxxx values are
// understood; every other type (hex:, hex(N): with continuation lines) is
// kept as read and its bytes are available. Comments, blank lines, order and
// unknown lines survive any edit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace platform {

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// A value as the platform stores it: the type and its bytes (a REG_SZ's
// text without the terminating zero, a REG_DWORD's four little-endian bytes).
struct RegValue {
  DWORD type = REG_SZ;
  std::string data;

  static RegValue String(std::string_view text) { return {REG_SZ, std::string(text)}; }
  static RegValue Dword(std::uint32_t n);
  std::uint32_t AsDword() const;
  bool operator==(const RegValue&) const = default;
};

class RegistryDocument {
 public:
  // A document holding only the header line.
  RegistryDocument();
  // Nothing and `error` set ("line N: ...") when the text is not a hive.
  static std::optional<RegistryDocument> Parse(std::string_view bytes, std::string* error);

  bool HasKey(std::string_view path) const;
  void AddKey(std::string_view path);
  std::optional<RegValue> Get(std::string_view path, std::string_view name) const;
  void Set(std::string_view path, std::string_view name, const RegValue& value);
  bool Delete(std::string_view path, std::string_view name);
  std::string Serialize() const;

 private:
  struct Item {
    std::vector<std::string> raw;     // the line(s) as they stand in the file
    std::optional<std::string> name;  // set for a value; "" is the default value
    RegValue value;
  };
  struct Key {
    std::string header;
    std::string path;
    std::vector<Item> items;
  };
  Key* FindKey(std::string_view path);
  const Key* FindKey(std::string_view path) const;

  std::vector<std::string> preamble_;
  std::vector<Key> keys_;
  std::string eol_ = "\n";
};

// "A\\B\\" and "a\B" name the same key: empty parts dropped, joined by "\".
std::string NormalizeKeyPath(std::string_view path);

}  // namespace platform
