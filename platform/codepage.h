// Narrow text on the host is UTF-8. Texts from the platform's other
// encodings (UTF-16 in files, the Czech ANSI code page 1250) become UTF-8
// here, and only here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

void AppendUtf8(std::string& out, char32_t codePoint);

// UTF-16 code units to UTF-8; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(const char16_t* units, std::size_t count);

// One byte of code page 1250; bytes the code page leaves undefined give U+FFFD.
char32_t Cp1250ToUnicode(unsigned char byte);

bool IsValidUtf8(std::string_view bytes);

}  // namespace platform
