// The file URI of a local path, as GIO, KDE and every desktop read it back.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// "file://" and the absolute path with every byte other than an unreserved
// character (letters, digits, "-", ".", "_", "~") or "/" percent-encoded,
// UTF-8 bytes one by one: "#", "?", "%", blanks and non-ASCII names reach
// the reader as the path they are.
std::string FileUri(std::string_view absolutePath);

}  // namespace platform
