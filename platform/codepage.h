// Narrow text on the host is UTF-8. Texts from the platform's other
// encodings (UTF-16 in files, the Czech ANSI code page 1250) become UTF-8
// here, and only here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

void AppendUtf8(std::string& out, char32_t codePoint);

// UTF-16 code units to UTF-8; a lone surrogate becomes U+FFFD. `unit(i)`
// gives the i-th of `count` units.
template <class Unit>
std::string Utf16ToUtf8(std::size_t count, Unit unit) {
  std::string out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    char32_t u = unit(i);
    if (u < 0x80) {
      out += static_cast<char>(u);
      continue;
    }
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count) {
      char32_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, u);
  }
  return out;
}

// One byte of code page 1250; bytes the code page leaves undefined give U+FFFD.
char32_t Cp1250ToUnicode(unsigned char byte);

bool IsValidUtf8(std::string_view bytes);

}  // namespace platform
