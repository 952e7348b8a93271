// Small text helpers shared by the file formats of the platform layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

inline std::string_view Trim(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// Splits into lines, dropping "\r\n" or "\n"; `crlf` tells whether the
// first line end found was CRLF. A UTF-8 byte-order mark is taken off.
struct SplitText {
  std::vector<std::string> lines;
  bool crlf = false;
  bool bom = false;
};

inline SplitText SplitLines(std::string_view bytes) {
  SplitText out;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    out.bom = true;
    bytes.remove_prefix(3);
  }
  bool seenEnd = false;
  while (!bytes.empty()) {
    std::size_t nl = bytes.find('\n');
    std::string_view line = bytes.substr(0, nl);
    // a CR at the very end is a line end too, so a rewrite (which ends
    // every line) reads the same
    bool cr = !line.empty() && line.back() == '\r';
    if (nl != std::string_view::npos) {
      if (!seenEnd) out.crlf = cr;
      seenEnd = true;
    }
    if (cr) line.remove_suffix(1);
    out.lines.emplace_back(line);
    if (nl == std::string_view::npos) break;
    bytes.remove_prefix(nl + 1);
  }
  return out;
}

}  // namespace platform
