// Private-profile (INI) files with the platform's semantics.
//
// Section and key names match without regard to (ASCII) case; a key added to
// an existing file takes the writer's spelling, a replaced one keeps the
// file's. Comments (";" lines), blank lines, order, unknown lines and the
// file's line ends (CRLF from Windows, or LF) survive a write of one key. A
// value enclosed in matching single or double quotes reads without them, as
// on the platform; so a value that reading would change (blanks or quotes
// around it) is written inside double quotes and reads back as written, while
// any other value is written as it is. Text is UTF-8, the host's narrow code
// page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace platform {

class ProfileDocument {
 public:
  static ProfileDocument Parse(std::string_view bytes);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  void Set(std::string_view section, std::string_view key, std::string_view value);
  std::string Serialize() const;

 private:
  struct Location {
    std::size_t header = 0;  // index of the "[section]" line
    std::size_t end = 0;     // one past the section's last line
  };
  std::optional<Location> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Location& where, std::string_view key) const;

  std::vector<std::string> lines_;
  std::string eol_ = "\n";
  bool bom_ = false;
};

// The bare name "X.ini" (no folder) resolves in the Windows directory.
std::string ResolveProfilePath(std::string_view fileName);

// Returns the value, or `defaultValue` when the file or the key is missing,
// cut to `size - 1` characters as the platform's buffer would be (counted in
// characters, never splitting a UTF-8 sequence).
std::string GetPrivateProfileStringA(std::string_view section, std::string_view key, std::string_view defaultValue,
                                     DWORD size, std::string_view fileName);

// Writes or replaces one key; creates the file (and the Windows directory) on
// first use, readable by its owner only. The file is replaced atomically and
// keeps its permissions. Returns 0 on failure, and for a line break in the
// section, the key or the value, which one line cannot hold.
BOOL WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                std::string_view fileName);

}  // namespace platform
